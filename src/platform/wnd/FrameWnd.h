#pragma once
// CFrameWnd: a top-level window loaded from resources (title string, menu,
// accelerators, icon). The child with id AFX_IDW_PANE_FIRST is stretched over the
// client area and follows every resize. Commands from the menu and accelerators
// arrive as WM_COMMAND and are routed by OnCmdMsg: the frame's table, then the
// application's.
#include "platform/wnd/Wnd.h"

class CFrameWnd : public CWnd
{
public:
    const MessageMap* GetMessageMap() const override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool OnCmdMsg(UINT id) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool LoadFrame(UINT resourceId, DWORD style, CWnd* parent = nullptr, void* context = nullptr);
    int OnCreate(const CREATESTRUCT* cs);
    void OnSetFocus(CWnd* oldWnd);
    void OnDestroy();
    // Stretches the child with id AFX_IDW_PANE_FIRST over the client area.
    void RecalcLayout();

protected:
    static const MessageMap s_messageMap;
};
