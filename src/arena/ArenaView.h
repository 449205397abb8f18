#pragma once
// CArenaView: the child window that holds the game (CArena) and runs it from a 25 ms
// timer. Each timer tick makes the tick's input (the keys held, the switches released
// since the last tick, a new client size), or takes it from a replay, and advances the
// arena by it; each frame is drawn whole into an off-screen surface and copied to the
// window once.
#include "arena/Arena.h"
#include "platform/gdi/DC.h"
#include "platform/wnd/Wnd.h"

class CPlayerOptions;
class CReplayPlayer;
class CReplayRecorder;

class CArenaView : public CWnd, public CArena
{
public:
    static constexpr UINT kTimerId = 1;
    static constexpr UINT kTickMilliseconds = 25;

    CDC m_memDC;
    CBitmap m_memBitmap;

    // When set, every tick's input goes to the recorder too.
    CReplayRecorder* m_recorder = nullptr;
    // When set, the ticks take their input from the replay and the keyboard plays no part.
    CReplayPlayer* m_playback = nullptr;
    // The switches released since the last tick.
    CTickInput m_pendingInput;
    // The player's sound and palette, when a frame holds them.
    CPlayerOptions* m_options = nullptr;
    // The arena as the sounds last heard it: each timer tick sounds what changed since.
    CArena m_heard;
    // The colour-blind palette's pens, one for each ship slot.
    CPen m_palettePens[kShipSlots];

    CArenaView();
    ~CArenaView() override;

    const MessageMap* GetMessageMap() const override;
    bool PreCreateWindow(CREATESTRUCT& cs) override;

    // The arena's, with no switch pending from before.
    void BeginSession(std::uint32_t seed, std::int32_t startSecond);

    void OnShowWindow(bool show, UINT status);
    void OnTimer(UINT_PTR timerId);

    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    void OnKeyUp(UINT virtualKey, UINT repeatCount, UINT flags);

    void OnSize(UINT type, int width, int height);
    bool OnEraseBkgnd(CDC* dc);
    void OnPaint();

    // The seats' keys that the key table holds (keyboard and controllers).
    static void ReadHeldKeys(CTickInput& input);

private:
    CTickInput TakeLocalInput();
    bool PlayBackTick();
    void DrawFrame(const CRect& client);
    void PlaySounds();

    static const MessageMap s_messageMap;
};
