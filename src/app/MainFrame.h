#pragma once
// CMainFrame: the main window. It holds the arena view by value, stretches it over its
// client area and always hands it the keyboard focus. Game controllers drive the arena's
// seats while the frame is there.
#include "app/ControllerSeats.h"
#include "app/PlayerOptions.h"
#include "arena/ArenaView.h"
#include "platform/wnd/FrameWnd.h"

class CMainFrame : public CFrameWnd
{
public:
    static constexpr const char* kRuntimeClassName = "CMainFrame";

    CArenaView m_arenaView;
    CPlayerOptions m_options;
    CSeatAutopilots m_seatAutopilots;

    ~CMainFrame() override;

    const MessageMap* GetMessageMap() const override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool OnCmdMsg(UINT id) override;

    // Sizes the frame so that the arena's client area is this size.
    void FitArena(CSize arena);

    int OnCreate(const CREATESTRUCT* cs);
    void OnSetFocus(CWnd* oldWnd);
    void OnControllerSeat(int seat, bool taken);

protected:
    static const MessageMap s_messageMap;
};
