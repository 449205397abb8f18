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

using Keys = std::set<UINT>;
using Pilots = std::vector<int>;
using testsupport::HeldKeys;
using enum ControllerButton;

// A frame that is never created: as the game starts, ship 1 on the keyboard, ships 2 and 3
// and the sentry on autopilot.
class Seats : public testsupport::PinnedRandomTest
{
protected:
    void SetUp() override
    {
        KeyboardReleaseAll();
        m_frame = std::make_unique<CMainFrame>();
        Seat();
        NativeGameFocus(true);
    }
    void TearDown() override
    {
        for (int id = 0; id < 10; ++id)
            NativeControllerRemoved(id);
        Unseat();
        NativeGameFocus(false);
        EXPECT_EQ(HeldKeys(), Keys{}) << "a controller key outlived its controller";
        KeyboardReleaseAll();
    }

    void Seat() { SetControllerSeats(g_controllerSeats, &Arena(), m_frame.get()); }
    static void Unseat() { SetControllerSeats({}, nullptr, nullptr); }
    CArenaView& Arena() { return m_frame->m_arenaView; }
    static void Push(int id, ControllerButton button) { NativeControllerButton(id, button, true); }
    static void Let(int id, ControllerButton button) { NativeControllerButton(id, button, false); }
    static void Click(int id, ControllerButton button) { Push(id, button), Let(id, button); }
    static void Stick(int id, int x, int y)
    {
        NativeControllerAxis(id, ControllerAxis::LeftX, x);
        NativeControllerAxis(id, ControllerAxis::LeftY, y);
    }
    static std::vector<int> SeatsOf(std::initializer_list<int> ids)
    {
        std::vector<int> seats;
        for (const int id : ids)
            seats.push_back(ControllerSeatOf(id));
        return seats;
    }
    Pilots Autopilots()
    {
        const CShip* const s = Arena().m_ships;
        return {s[0].m_autopilot, s[1].m_autopilot, s[2].m_autopilot, Arena().m_sentry.m_autopilot};
    }

    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(Seats, TheStickActsBeyondAQuarterOfItsTravelOnEachAxis)
{
    NativeControllerAdded(1);
    const struct { int x, y; Keys held; } rows[] = {
        {0, 0, {}},          {0, -8192, {}},      {0, -8193, {VK_UP}},   {0, -32768, {VK_UP}},
        {0, 8192, {}},       {0, 8193, {VK_DOWN}}, {0, 32767, {VK_DOWN}}, {-8192, 0, {}},
        {-8193, 0, {VK_LEFT}}, {8192, 0, {}},     {8193, 0, {VK_RIGHT}}, {100, -100, {}},
        {-20000, -20000, {VK_LEFT, VK_UP}},       {32767, 32767, {VK_RIGHT, VK_DOWN}},
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
        {DpadUp, VK_UP}, {DpadDown, VK_DOWN}, {DpadLeft, VK_LEFT}, {DpadRight, VK_RIGHT},
        {South, VK_RETURN}, {Back, VK_F1}, {Start, 'P'}};
    for (const auto& [button, key] : rows) {
        Push(1, button);
        EXPECT_EQ(HeldKeys(), Keys{key});
        Let(1, button);
        EXPECT_EQ(HeldKeys(), Keys{});
    }
    // The d-pad and the stick on the same direction: held until both let go, in either order.
    Push(1, DpadUp);
    Stick(1, 0, -30000);
    Let(1, DpadUp);
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    Push(1, DpadUp);
    Stick(1, 0, 0);
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    Let(1, DpadUp);
    // Every controller's Start holds the one pause key, which switches the pause on each
    // release (the Start of the rows above paused the game).
    ASSERT_TRUE(Arena().m_paused);
    NativeControllerAdded(2);
    Push(1, Start);
    Push(2, Start);
    EXPECT_TRUE(Arena().m_paused);
    Let(1, Start);
    EXPECT_FALSE(Arena().m_paused);
    EXPECT_EQ(HeldKeys(), Keys{'P'});
    Let(2, Start);
    EXPECT_TRUE(Arena().m_paused);
}

TEST_F(Seats, KeyboardAndControllerHoldTheSameKeyIndependently)
{
    NativeControllerAdded(1);
    // Keyboard first, controller second; the keyboard lets go first.
    arenatest::Press(VK_UP);
    Stick(1, 0, -30000);
    KeyboardRelease(VK_UP, 0x1000u + VK_UP, false);
    EXPECT_EQ(HeldKeys(), Keys{VK_UP});
    Stick(1, 0, 0);
    // Controller first; the controller lets go first.
    Push(1, South);
    arenatest::Press(VK_RETURN);
    Let(1, South);
    EXPECT_EQ(HeldKeys(), Keys{VK_RETURN});
    KeyboardRelease(VK_RETURN, 0x1000u + VK_RETURN, false);
    EXPECT_EQ(HeldKeys(), Keys{});
    // The keyboard losing the focus of its keys leaves the controller's.
    Push(1, DpadLeft);
    arenatest::Press(VK_RIGHT);
    NativeKeyboardLost();
    EXPECT_EQ(HeldKeys(), Keys{VK_LEFT});
    Let(1, DpadLeft);
}

TEST_F(Seats, ControllersTakeShipsOneToThreeThenTheSentryAndAFifthWaitsForAFreeSeat)
{
    // Each controller pushes everything it has: the seat's keys, and only those, are held.
    const Keys seatKeys[] = {
        {VK_UP, VK_LEFT, VK_RETURN, VK_F1, 'P'},
        {'W', 'A', VK_SPACE, VK_F2, 'P'},
        {VK_NUMPAD8, VK_NUMPAD4, VK_ADD, VK_F3, 'P'},
        {'J', 'L', VK_F4, 'P'},  // the sentry only turns: up holds nothing
    };
    const auto all = [](int id, bool pushed) {
        Stick(id, pushed ? -30000 : 0, pushed ? -30000 : 0);
        for (ControllerButton b : {South, Back, Start})
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
    NativeControllerAdded(ids[4]);
    Stick(ids[4], 0, -30000);
    Push(ids[4], South);
    EXPECT_EQ(HeldKeys(), Keys{});
    // Ship 2's controller leaves: the waiting one takes ship 2 and holds at once what it pushes.
    NativeControllerRemoved(ids[1]);
    EXPECT_EQ(SeatsOf({ids[1], ids[4]}), (std::vector{-1, 1}));
    EXPECT_EQ(HeldKeys(), (Keys{'W', VK_SPACE}));
    // Plugged in again, the first one waits; ship 1 freed, it takes that, and a new one waits.
    NativeControllerAdded(ids[1]);
    EXPECT_EQ(ControllerSeatOf(ids[1]), -1);
    NativeControllerRemoved(ids[0]);
    NativeControllerAdded(6);
    // Adding a controller already plugged in changes nothing.
    NativeControllerAdded(ids[4]);
    EXPECT_EQ(SeatsOf({ids[1], 6, ids[4]}), (std::vector{0, -1, 1}));
    EXPECT_EQ(HeldKeys(), (Keys{'W', VK_SPACE}));
}

TEST_F(Seats, AControllerOfOneSeatTakesOnlyThatOneAndWaitsForIt)
{
    NativeControllerAdded(1, 2);
    EXPECT_EQ(ControllerSeatOf(1), 2);
    EXPECT_EQ(Autopilots(), (Pilots{0, 1, 0, 1}));
    NativeControllerAdded(2);
    NativeControllerAdded(3, 2);
    NativeControllerAdded(4);
    // Ship 3 is held, so 3 waits with ship 2 free, which 4, plugged in later, takes.
    EXPECT_EQ(SeatsOf({2, 3, 4}), (std::vector{0, -1, 1}));
    NativeControllerRemoved(1);
    EXPECT_EQ(ControllerSeatOf(3), 2);
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 0, 1}));
}

TEST_F(Seats, TakingASeatSwitchesItsAutopilotOffAndLeavingPutsBackWhatItWas)
{
    NativeControllerAdded(1);  // ship 1 was on the keyboard: stays off
    EXPECT_EQ(Autopilots(), (Pilots{0, 1, 1, 1}));
    for (const int id : {2, 3, 4})
        NativeControllerAdded(id);
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 0, 0}));
    // Back hands a seat to the autopilot and takes it back, like its F key, on release only.
    Push(2, Back);
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 0, 0}));
    Let(2, Back);
    Click(1, Back);
    EXPECT_EQ(Autopilots(), (Pilots{1, 1, 0, 0}));
    // Leaving: ship 2 was on autopilot and is; ship 1 goes back to the keyboard; ship 3 and
    // the sentry go back to the autopilot.
    for (const int id : {2, 1, 3, 4})
        NativeControllerRemoved(id);
    EXPECT_EQ(Autopilots(), (Pilots{0, 1, 1, 1}));
    // A keyboard player who took ship 3 before the controller came gets it back.
    Arena().m_ships[2].m_autopilot = false;
    for (const int id : {1, 2, 3})
        NativeControllerAdded(id);
    Arena().m_ships[2].m_autopilot = true;  // switched by F3 on the keyboard meanwhile
    NativeControllerRemoved(3);
    EXPECT_EQ(Arena().m_ships[2].m_autopilot, false);
}

TEST_F(Seats, WithoutTheFocusInputIsIgnoredAndWhatItReleasesSendsNoKeyMessage)
{
    NativeControllerAdded(1);
    NativeControllerAdded(2);  // ship 2: autopilot switched off
    Stick(1, 0, -30000);
    for (ControllerButton b : {South, Back, Start})
        Push(1, b);
    NativeGameFocus(false);
    EXPECT_EQ(HeldKeys(), Keys{});
    Stick(1, 30000, 0);
    Push(1, DpadDown);
    EXPECT_EQ(HeldKeys(), Keys{});
    // Back in focus, nothing is held until the controller moves again, and the releases of
    // Back and Start pressed before switch nothing.
    NativeGameFocus(true);
    EXPECT_EQ(HeldKeys(), Keys{});
    Let(1, Back);
    Let(1, Start);
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 1, 1}));
    EXPECT_FALSE(Arena().m_paused);
    Stick(1, 30000, 0);
    EXPECT_EQ(HeldKeys(), Keys{VK_RIGHT});
    // Unplugged while Back and Start are held: the seat's autopilot goes back on once, by the
    // leave rule, and the pause stays as it was.
    Push(2, Back);
    Push(2, Start);
    NativeControllerRemoved(2);
    EXPECT_EQ(Autopilots(), (Pilots{0, 1, 1, 1}));
    EXPECT_FALSE(Arena().m_paused);
    // Plugging goes on without the focus.
    NativeGameFocus(false);
    NativeControllerAdded(3);
    EXPECT_EQ(ControllerSeatOf(3), 1);
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 1, 1}));
}

TEST_F(Seats, ControllersPluggedInBeforeTheSeatsTakeThemInPluggingOrder)
{
    Unseat();
    NativeControllerAdded(9);
    NativeControllerAdded(4);
    EXPECT_EQ(ControllerSeatOf(9), -1);
    Stick(4, 0, -30000);
    EXPECT_EQ(HeldKeys(), Keys{});
    Seat();
    EXPECT_EQ(SeatsOf({9, 4}), (std::vector{0, 1}));
    EXPECT_EQ(HeldKeys(), Keys{'W'});
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 1, 1}));
    // The game window going away unseats them silently: no autopilot is put back.
    Unseat();
    EXPECT_EQ(ControllerSeatOf(4), -1);
    EXPECT_EQ(HeldKeys(), Keys{});
    EXPECT_EQ(Autopilots(), (Pilots{0, 0, 1, 1}));
}

}  // namespace
