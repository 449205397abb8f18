#pragma once
// CArenaView: the child window that holds the game (CArena) and runs it from a 25 ms
// timer. Each timer tick makes the tick's input (the keys held, the switches released
// since the last tick, a new client size), or takes it from a replay, and advances the
// arena by it; each frame is drawn whole into an off-screen surface and copied to the
// window once. Online, the session runs the game and the window shows its arena, at the
// host's size, scaled by whole pixels to fit and letterboxed in black.
#include "arena/Arena.h"
#include "platform/gdi/DC.h"
#include "platform/wnd/Controllers.h"
#include "platform/wnd/Wnd.h"

class COnlineGame;
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
    // Online, the arena drawn at its own size when the window's differs.
    CDC m_arenaDC;
    CBitmap m_arenaBitmap;

    // When set, every tick's input goes to the recorder too.
    CReplayRecorder* m_recorder = nullptr;
    // When set, the ticks take their input from the replay and the keyboard plays no part.
    CReplayPlayer* m_playback = nullptr;
    // When set, the ticks run in an online session, which takes the local players' inputs.
    COnlineGame* m_online = nullptr;
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
    // The client area's size, as large as an arena can be.
    CSize ClientArenaSize() const;
    bool PlayBackTick();
    bool OnlineTick();
    bool ShowSessionArena(CArena& newest);
    void MakeOnlineInput(std::uint8_t (&local)[CTickInput::kSeats]);
    void SeatControllers(bool online);
    void TellOnlineNews();
    void DrawFrame(CDC& dc, const CRect& client);
    void DrawScaled(const CRect& client);
    void PlaySounds(const CArena& before, const CArena& after);

    // Online: the seats of this machine's players, keyboard player first, and the table its
    // controllers take (the seats after the keyboard player's).
    int m_localSeats[CTickInput::kSeats] = {};
    int m_localPlayers = 0;
    ControllerSeat m_onlineControllerSeats[CTickInput::kSeats] = {};
    // Ticks left before a leaving program ends, relay or not.
    int m_leaveTicks = -1;

    static const MessageMap s_messageMap;
};
