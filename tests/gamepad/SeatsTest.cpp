// The seats of the window layer with the game's seat table and the main frame as their
// owner, fed as a backend feeds them: which keys a controller holds for its stick, d-pad and
// buttons, beside the keyboard; the order seats are taken in and a controller that waits;
// the game's autopilot when a controller takes and leaves a seat; Back and Start on release;
// the focus.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "app/MainFrame.h"
#include "arena/ArenaTestKit.h"
#include "platform/wnd/Backend.h"

namespace {

using testsupport::HeldKeys;

// A frame that is never created: as the game starts, ship 1 on the keyboard, ships 2 and 3
// and the sentry on autopilot.
class Seats : public testsupport::PinnedRandomTest
{
protected:
    void SetUp() override
    {
        KeyboardReleaseAll();
        m_frame = std::make_unique<CMainFrame>();
        SetControllerSeats(g_controllerSeats, &Arena(), m_frame.get());
        NativeGameFocus(true);
    }
    void TearDown() override
    {
        for (int id = 0; id < kIds; ++id)
            NativeControllerRemoved(id);
        SetControllerSeats({}, nullptr, nullptr);
        NativeGameFocus(false);
        EXPECT_EQ(HeldKeys(), std::set<UINT>{}) << "a controller key outlived its controller";
        KeyboardReleaseAll();
    }

    CArenaView& Arena() { return m_frame->m_arenaView; }
    CShip& Ship(int slot) { return Arena().m_ships[slot]; }

    static void Push(int id, ControllerButton button) { NativeControllerButton(id, button, true); }
    static void Let(int id, ControllerButton button) { NativeControllerButton(id, button, false); }
    static void Stick(int id, int x, int y)
    {
        NativeControllerAxis(id, ControllerAxis::LeftX, x);
        NativeControllerAxis(id, ControllerAxis::LeftY, y);
    }
    std::vector<int> Autopilots() const
    {
        const CArenaView& arena = m_frame->m_arenaView;
        return {arena.m_ships[0].m_autopilot, arena.m_ships[1].m_autopilot, arena.m_ships[2].m_autopilot,
                arena.m_sentry.m_autopilot};
    }

    static constexpr int kIds = 8;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(Seats, TheStickActsBeyondAQuarterOfItsTravelOnEachAxis)
{
    NativeControllerAdded(1);
    ASSERT_EQ(ControllerSeatOf(1), 0);
    const struct { int x, y; std::set<UINT> held; } rows[] = {
        {0, 0, {}},
        {0, -8192, {}},
        {0, -8193, {VK_UP}},
        {0, -32768, {VK_UP}},
        {0, 8192, {}},
        {0, 8193, {VK_DOWN}},
        {0, 32767, {VK_DOWN}},
        {-8192, 0, {}},
        {-8193, 0, {VK_LEFT}},
        {8192, 0, {}},
        {8193, 0, {VK_RIGHT}},
        {-20000, -20000, {VK_LEFT, VK_UP}},
        {32767, 32767, {VK_RIGHT, VK_DOWN}},
        {100, -100, {}},
    };
    for (const auto& row : rows) {
        Stick(1, row.x, row.y);
        EXPECT_EQ(HeldKeys(), row.held) << "stick at " << row.x << ", " << row.y;
    }
}

TEST_F(Seats, EachInputHoldsItsKeyOfTheSeatUntilEveryInputOnItLetsGo)
{
    NativeControllerAdded(1);
    const struct { ControllerButton button; UINT key; } rows[] = {
        {ControllerButton::DpadUp, VK_UP},       {ControllerButton::DpadDown, VK_DOWN},
        {ControllerButton::DpadLeft, VK_LEFT},   {ControllerButton::DpadRight, VK_RIGHT},
        {ControllerButton::South, VK_RETURN},    {ControllerButton::Back, VK_F1},
        {ControllerButton::Start, 'P'},
    };
    for (const auto& [button, key] : rows) {
        Push(1, button);
        EXPECT_EQ(HeldKeys(), std::set<UINT>{key});
        Let(1, button);
        EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    }
    // The d-pad and the stick on the same direction: held until both let go, in either order.
    Push(1, ControllerButton::DpadUp);
    Stick(1, 0, -30000);
    Let(1, ControllerButton::DpadUp);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_UP});
    Push(1, ControllerButton::DpadUp);
    Stick(1, 0, 0);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_UP});
    Let(1, ControllerButton::DpadUp);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
}

TEST_F(Seats, AControllerOfOneSeatTakesOnlyThatOneAndWaitsForIt)
{
    NativeControllerAdded(1, 2);
    EXPECT_EQ(ControllerSeatOf(1), 2);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 1, 0, 1}));
    NativeControllerAdded(2);
    NativeControllerAdded(3, 2);
    NativeControllerAdded(4);
    // Ship 3 is held, so 3 waits with ship 2 free, which 4, plugged in later, takes.
    EXPECT_EQ((std::vector<int>{ControllerSeatOf(2), ControllerSeatOf(3), ControllerSeatOf(4)}),
              (std::vector<int>{0, -1, 1}));
    NativeControllerRemoved(1);
    EXPECT_EQ(ControllerSeatOf(3), 2);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(Seats, KeyboardAndControllerHoldTheSameKeyIndependently)
{
    NativeControllerAdded(1);
    // Keyboard first, controller second; the keyboard lets go first.
    arenatest::Press(VK_UP);
    Stick(1, 0, -30000);
    KeyboardRelease(VK_UP, 0x1000u + VK_UP, false);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_UP});
    Stick(1, 0, 0);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    // Controller first; the controller lets go first.
    Push(1, ControllerButton::South);
    arenatest::Press(VK_RETURN);
    Let(1, ControllerButton::South);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_RETURN});
    KeyboardRelease(VK_RETURN, 0x1000u + VK_RETURN, false);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    // The keyboard losing the focus of its keys leaves the controller's.
    Push(1, ControllerButton::DpadLeft);
    arenatest::Press(VK_RIGHT);
    NativeKeyboardLost();
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_LEFT});
    Let(1, ControllerButton::DpadLeft);
}

TEST_F(Seats, ControllersTakeShipsOneToThreeThenTheSentryAndAFifthWaitsForAFreeSeat)
{
    // Each controller pushes everything it has: the seat's keys, and only those, are held.
    const std::set<UINT> seatKeys[] = {
        {VK_UP, VK_LEFT, VK_RETURN, VK_F1, 'P'},
        {'W', 'A', VK_SPACE, VK_F2, 'P'},
        {VK_NUMPAD8, VK_NUMPAD4, VK_ADD, VK_F3, 'P'},
        {'J', 'L', VK_F4, 'P'},  // the sentry only turns: up holds nothing
    };
    const auto all = [](int id, bool pushed) {
        Stick(id, pushed ? -30000 : 0, pushed ? -30000 : 0);
        for (ControllerButton b : {ControllerButton::South, ControllerButton::Back, ControllerButton::Start})
            NativeControllerButton(id, b, pushed);
    };
    // Ids are the backend's: any value, in any order.
    const int ids[] = {5, 2, 7, 3, 4};
    for (int i = 0; i < 4; ++i) {
        NativeControllerAdded(ids[i]);
        EXPECT_EQ(ControllerSeatOf(ids[i]), i);
        all(ids[i], true);
        EXPECT_EQ(HeldKeys(), seatKeys[i]) << "controller " << i + 1;
        all(ids[i], false);
    }
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});

    NativeControllerAdded(ids[4]);
    EXPECT_EQ(ControllerSeatOf(ids[4]), -1);
    Stick(ids[4], 0, -30000);
    Push(ids[4], ControllerButton::South);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    // Ship 2's controller leaves: the waiting one takes ship 2 and holds at once what it pushes.
    NativeControllerRemoved(ids[1]);
    EXPECT_EQ(ControllerSeatOf(ids[1]), -1);
    EXPECT_EQ(ControllerSeatOf(ids[4]), 1);
    EXPECT_EQ(HeldKeys(), (std::set<UINT>{'W', VK_SPACE}));
    // Plugged in again, the first one waits now.
    NativeControllerAdded(ids[1]);
    EXPECT_EQ(ControllerSeatOf(ids[1]), -1);
    // Ship 1 freed: the one waiting takes it, then a new one waits.
    NativeControllerRemoved(ids[0]);
    EXPECT_EQ(ControllerSeatOf(ids[1]), 0);
    NativeControllerAdded(6);
    EXPECT_EQ(ControllerSeatOf(6), -1);
    // Adding a controller already plugged in changes nothing.
    NativeControllerAdded(ids[4]);
    EXPECT_EQ(ControllerSeatOf(ids[4]), 1);
    EXPECT_EQ(HeldKeys(), (std::set<UINT>{'W', VK_SPACE}));
}

TEST_F(Seats, TakingASeatSwitchesItsAutopilotOffAndLeavingPutsBackWhatItWas)
{
    ASSERT_EQ(Autopilots(), (std::vector<int>{0, 1, 1, 1}));
    NativeControllerAdded(1);  // ship 1 was on the keyboard: stays off
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 1, 1, 1}));
    NativeControllerAdded(2);
    NativeControllerAdded(3);
    NativeControllerAdded(4);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 0, 0}));
    // Back hands a seat to the autopilot and takes it back, like its F key.
    Push(2, ControllerButton::Back);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 0, 0}));  // on release only
    Let(2, ControllerButton::Back);
    Push(1, ControllerButton::Back);
    Let(1, ControllerButton::Back);
    EXPECT_EQ(Autopilots(), (std::vector<int>{1, 1, 0, 0}));
    // Leaving: ship 2 was on autopilot and is; ship 1 goes back to the keyboard; ship 3 and
    // the sentry go back to the autopilot.
    NativeControllerRemoved(2);
    NativeControllerRemoved(1);
    NativeControllerRemoved(3);
    NativeControllerRemoved(4);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 1, 1, 1}));
    // A keyboard player who took ship 3 before the controller came gets it back.
    Ship(2).m_autopilot = false;
    NativeControllerAdded(1);
    NativeControllerAdded(2);
    NativeControllerAdded(3);
    Ship(2).m_autopilot = true;  // switched by F3 on the keyboard meanwhile
    NativeControllerRemoved(3);
    EXPECT_EQ(Ship(2).m_autopilot, false);
}

TEST_F(Seats, StartPausesOnReleaseAndEveryControllersStartHoldsTheSameKey)
{
    NativeControllerAdded(1);
    NativeControllerAdded(2);
    Push(1, ControllerButton::Start);
    Push(2, ControllerButton::Start);
    EXPECT_FALSE(Arena().m_paused);
    Let(1, ControllerButton::Start);
    EXPECT_TRUE(Arena().m_paused);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{'P'});  // still held by the second
    Let(2, ControllerButton::Start);
    EXPECT_FALSE(Arena().m_paused);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
}

TEST_F(Seats, ReleasesThatInputDidNotMakeSendNoKeyMessage)
{
    NativeControllerAdded(1);
    NativeControllerAdded(2);  // ship 2: autopilot switched off
    ASSERT_EQ(Autopilots(), (std::vector<int>{0, 0, 1, 1}));
    // Focus lost while Back and Start are held: released without switching anything, and
    // their release afterwards, with the focus back, is not seen either.
    Push(1, ControllerButton::Back);
    Push(1, ControllerButton::Start);
    NativeGameFocus(false);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    NativeGameFocus(true);
    Let(1, ControllerButton::Back);
    Let(1, ControllerButton::Start);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_FALSE(Arena().m_paused);
    // Unplugged while Back is held: the seat's autopilot goes back on once, by the leave rule.
    Push(2, ControllerButton::Back);
    NativeControllerRemoved(2);
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 1, 1, 1}));
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
}

TEST_F(Seats, WithoutTheFocusInputIsIgnoredAndHeldKeysAreReleased)
{
    NativeControllerAdded(1);
    Stick(1, 0, -30000);
    Push(1, ControllerButton::South);
    ASSERT_EQ(HeldKeys(), (std::set<UINT>{VK_UP, VK_RETURN}));
    NativeGameFocus(false);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    Stick(1, 30000, 0);
    Push(1, ControllerButton::DpadDown);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    // Back in focus, nothing is held until the controller moves again.
    NativeGameFocus(true);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    Stick(1, 30000, 0);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{VK_RIGHT});
    // Plugging and unplugging go on without the focus.
    NativeGameFocus(false);
    NativeControllerAdded(2);
    EXPECT_EQ(ControllerSeatOf(2), 1);
    EXPECT_FALSE(Ship(1).m_autopilot);
}

TEST_F(Seats, ControllersPluggedInBeforeTheSeatsTakeThemInPluggingOrder)
{
    SetControllerSeats({}, nullptr, nullptr);
    NativeControllerAdded(9);
    NativeControllerAdded(4);
    EXPECT_EQ(ControllerSeatOf(9), -1);
    Stick(4, 0, -30000);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    SetControllerSeats(g_controllerSeats, &Arena(), m_frame.get());
    EXPECT_EQ(ControllerSeatOf(9), 0);
    EXPECT_EQ(ControllerSeatOf(4), 1);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{'W'});
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 1, 1}));
    // The game window going away unseats them silently: no autopilot is put back.
    SetControllerSeats({}, nullptr, nullptr);
    EXPECT_EQ(ControllerSeatOf(4), -1);
    EXPECT_EQ(HeldKeys(), std::set<UINT>{});
    EXPECT_EQ(Autopilots(), (std::vector<int>{0, 0, 1, 1}));
    NativeControllerRemoved(9);
    NativeControllerRemoved(4);
}

}  // namespace
