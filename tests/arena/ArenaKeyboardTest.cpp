// The keyboard: key releases switch autopilots, the ship count and the pause; held keys
// turn, thrust and fire once per tick; Escape ends the program.
#include <gtest/gtest.h>

#include <initializer_list>

#include <cmath>
#include <numbers>
#include <ostream>

#include "arena/ArenaTestKit.h"

using arenatest::Arm;
using arenatest::ArenaTest;
using arenatest::GameState;
using arenatest::kThrustStep;
using arenatest::Press;
using arenatest::QuietScene;
using arenatest::Release;

namespace {

// What the key releases switch.
struct Switches
{
    bool ship1Autopilot;
    bool ship2Autopilot;
    bool ship3Autopilot;
    bool sentryAutopilot;
    bool paused;
    int shipCount;

    bool operator==(const Switches&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Switches& s)
{
    return out << "{autopilots " << s.ship1Autopilot << s.ship2Autopilot << s.ship3Autopilot << " sentry "
               << s.sentryAutopilot << ", paused " << s.paused << ", ships " << s.shipCount << "}";
}

// The keys of one player's ship.
struct KeySet
{
    int slot;
    UINT left;
    UINT right;
    UINT backward;
    UINT forward;
    UINT fire;
};

constexpr KeySet kKeySets[] = {
    {0, VK_LEFT, VK_RIGHT, VK_DOWN, VK_UP, VK_RETURN},
    {1, 'A', 'D', 'S', 'W', VK_SPACE},
    {2, VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, VK_NUMPAD8, VK_ADD},
};

double Degrees(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

class ArenaKeys : public ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        QuietScene(Arena());
    }

    Switches Read()
    {
        return {Ship(0).m_autopilot, Ship(1).m_autopilot, Ship(2).m_autopilot, Sentry().m_autopilot,
                Arena().m_paused,    Arena().m_shipCount};
    }

    void KeyUp(UINT key) { Arena().OnKeyUp(key, 1, 0); }

    // Ships back at rest facing right with their keys free, no bullets in flight.
    void Reset()
    {
        KeyboardReleaseAll();
        QuietScene(Arena());
    }

    void ExpectAtRest(int slot)
    {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_EQ(Ship(slot).m_heading.m_x, 7.07);
        EXPECT_EQ(Ship(slot).m_heading.m_y, 0.0);
        EXPECT_EQ(Ship(slot).m_velocity.m_x, 0.0);
        EXPECT_EQ(Ship(slot).m_velocity.m_y, 0.0);
        EXPECT_EQ(Ship(slot).FindFreeBullet(), 0);
    }
};

TEST_F(ArenaKeys, EachReleaseSwitchesOnlyItsOwnSetting)
{
    Switches expected = Read();
    ASSERT_EQ(expected, (Switches{false, true, true, true, false, 3}));

    KeyUp(VK_F3);
    expected.ship3Autopilot = false;
    EXPECT_EQ(Read(), expected);
    KeyUp(VK_F2);
    expected.ship2Autopilot = false;
    EXPECT_EQ(Read(), expected);
    KeyUp(VK_F1);
    expected.ship1Autopilot = true;
    EXPECT_EQ(Read(), expected);
    KeyUp(VK_F4);
    expected.sentryAutopilot = false;
    EXPECT_EQ(Read(), expected);
    KeyUp('P');
    expected.paused = true;
    EXPECT_EQ(Read(), expected);
    KeyUp(VK_PRIOR);
    expected.shipCount = 4;
    EXPECT_EQ(Read(), expected);
    KeyUp(VK_NEXT);
    expected.shipCount = 3;
    EXPECT_EQ(Read(), expected);

    // Every toggle flips back; keys of no switch, releases of held keys and key-downs
    // of the switch keys change nothing.
    for (const UINT key : std::initializer_list<UINT>{VK_F3, VK_F2, VK_F1, VK_F4, 'P'})
        KeyUp(key);
    EXPECT_EQ(Read(), (Switches{false, true, true, true, false, 3}));
    const std::vector<double> before = GameState(Arena());
    for (const UINT key : std::initializer_list<UINT>{'A', 'J', 'L', 'Q', VK_RETURN, VK_SPACE, VK_UP, VK_NUMPAD8, VK_ADD,
                           VK_F5, VK_F12, VK_HOME})
        KeyUp(key);
    for (const UINT key : std::initializer_list<UINT>{VK_F1, VK_F2, VK_F3, VK_F4, 'P', VK_PRIOR, VK_NEXT})
        Arena().OnKeyDown(key, 1, 0);
    EXPECT_EQ(GameState(Arena()), before);
}

TEST_F(ArenaKeys, ShipCountStopsAtTwoAndSix)
{
    for (const int expected : {4, 5, 6, 6, 6}) {
        KeyUp(VK_PRIOR);
        EXPECT_EQ(Arena().m_shipCount, expected);
    }
    for (const int expected : {5, 4, 3, 2, 2, 2}) {
        KeyUp(VK_NEXT);
        EXPECT_EQ(Arena().m_shipCount, expected);
    }
}

TEST_F(ArenaKeys, SwitchesActWhilePaused)
{
    KeyUp('P');
    ASSERT_TRUE(Arena().m_paused);
    KeyUp(VK_F1);
    KeyUp(VK_F2);
    KeyUp(VK_F3);
    KeyUp(VK_F4);
    KeyUp(VK_PRIOR);
    EXPECT_EQ(Read(), (Switches{true, false, false, false, true, 4}));
    KeyUp(VK_NEXT);
    KeyUp(VK_NEXT);
    EXPECT_EQ(Arena().m_shipCount, 2);
    KeyUp('P');
    EXPECT_FALSE(Arena().m_paused);
}

TEST_F(ArenaKeys, PauseKeyStopsAndResumesTheGame)
{
    Press(VK_UP);
    KeyUp('P');
    Arena().OnTimer(1);
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(0).m_velocity.m_x, 0.0);
    EXPECT_EQ(Ship(0).m_position.m_x, 100.0);

    KeyUp('P');
    Arena().OnTimer(1);
    EXPECT_NEAR(Ship(0).m_velocity.m_x, kThrustStep, 1e-12);
}

TEST_F(ArenaKeys, ASlotOutOfPlayKeepsItsToggledAutopilot)
{
    KeyUp(VK_NEXT);
    KeyUp(VK_F3);
    EXPECT_FALSE(Ship(2).m_autopilot);
    Press(VK_NUMPAD8);
    Arena().PollKeyboard();
    ExpectAtRest(2);

    KeyUp(VK_PRIOR);
    EXPECT_FALSE(Ship(2).m_autopilot);
    Arena().PollKeyboard();
    EXPECT_NEAR(Ship(2).m_velocity.m_x, kThrustStep, 1e-12);
}

TEST_F(ArenaKeys, EachShipsKeysTurnThrustAndFire)
{
    const double turned = 7.07 * std::cos(Degrees(6.0));
    const double across = 7.07 * std::sin(Degrees(6.0));
    for (const KeySet& keys : kKeySets) {
        SCOPED_TRACE(testing::Message() << "slot " << keys.slot);
        for (CShip& ship : Arena().m_ships)
            ship.m_autopilot = false;
        CShip& ship = Ship(keys.slot);

        Reset();
        Press(keys.left);
        Arena().PollKeyboard();
        EXPECT_NEAR(ship.m_heading.m_x, turned, 1e-6);
        EXPECT_NEAR(ship.m_heading.m_y, -across, 1e-6);
        EXPECT_EQ(ship.m_velocity.m_x, 0.0);

        Reset();
        Press(keys.right);
        Arena().PollKeyboard();
        EXPECT_NEAR(ship.m_heading.m_x, turned, 1e-6);
        EXPECT_NEAR(ship.m_heading.m_y, across, 1e-6);

        Reset();
        Press(keys.forward);
        Arena().PollKeyboard();
        EXPECT_NEAR(ship.m_velocity.m_x, kThrustStep, 1e-12);
        EXPECT_EQ(ship.m_velocity.m_y, 0.0);
        EXPECT_EQ(ship.m_heading.m_x, 7.07);

        Reset();
        Press(keys.backward);
        Arena().PollKeyboard();
        EXPECT_NEAR(ship.m_velocity.m_x, -kThrustStep, 1e-12);

        Reset();
        Press(keys.fire);
        Arena().PollKeyboard();
        const CBullet& bullet = ship.m_bullets[0];
        EXPECT_TRUE(bullet.m_active);
        EXPECT_NEAR(bullet.m_velocity.m_x, 21.21, 1e-12);
        EXPECT_EQ(bullet.m_position.m_x, ship.m_position.m_x);
        EXPECT_EQ(bullet.m_life, 18);
        EXPECT_EQ(ship.m_cooldown, 2);
        EXPECT_EQ(ship.FindFreeBullet(), 1);

        // A held key acts on no other ship.
        for (int other = 0; other < 3; ++other) {
            if (other != keys.slot)
                ExpectAtRest(other);
        }
    }
}

TEST_F(ArenaKeys, HeldKeysActOnlyForShipsInPlayOffAutopilot)
{
    Ship(2).m_autopilot = false;
    Ship(0).m_autopilot = true;
    Ship(1).m_autopilot = true;
    for (const KeySet& keys : kKeySets) {
        for (const UINT key : std::initializer_list<UINT>{keys.left, keys.forward, keys.fire})
            Press(key);
    }
    // Keypad 2 is not ship 3's backward key.
    Press(VK_NUMPAD2);
    Arena().m_shipCount = 2;
    Arena().PollKeyboard();
    for (int slot = 0; slot < 3; ++slot)
        ExpectAtRest(slot);

    KeyboardReleaseAll();
    Arena().m_shipCount = 3;
    Press(VK_NUMPAD2);
    Arena().PollKeyboard();
    ExpectAtRest(2);
}

TEST_F(ArenaKeys, FireKeysWaitForTheCooldown)
{
    for (const KeySet& keys : kKeySets) {
        SCOPED_TRACE(testing::Message() << "slot " << keys.slot);
        Ship(keys.slot).m_autopilot = false;
        CShip& ship = Ship(keys.slot);
        // The ring weapon itself ignores the cooldown: only the key's own test holds it.
        for (const int cooldown : {1, 0, -4}) {
            SCOPED_TRACE(testing::Message() << "cooldown " << cooldown);
            Reset();
            ship.m_weapon = &g_ringWeapon;
            ship.m_cooldown = cooldown;
            Press(keys.fire);
            Arena().PollKeyboard();
            EXPECT_EQ(ship.FindFreeBullet(), cooldown > 0 ? 0 : -1);
        }
    }
}

TEST_F(ArenaKeys, LeftAndRightTogetherCancel)
{
    for (const KeySet& keys : kKeySets) {
        SCOPED_TRACE(testing::Message() << "slot " << keys.slot);
        Ship(keys.slot).m_autopilot = false;
        Reset();
        Press(keys.left);
        Press(keys.right);
        Arena().PollKeyboard();
        EXPECT_NEAR(Ship(keys.slot).m_heading.m_x, 7.07, 1e-9);
        EXPECT_NEAR(Ship(keys.slot).m_heading.m_y, 0.0, 1e-9);
    }
}

TEST_F(ArenaKeys, ForwardAndBackwardTogetherApplyInTheirOrder)
{
    // From 5.5 pixels a tick, each thrust first cuts the speed to 5. Ship 1 thrusts
    // forward then backward: 5 + step, cut to 5, minus a step. Ships 2 and 3 thrust
    // backward first: 5 - step, then plus a step.
    const double expected[3] = {5.0 - kThrustStep, 5.0, 5.0};
    for (const KeySet& keys : kKeySets) {
        SCOPED_TRACE(testing::Message() << "slot " << keys.slot);
        Ship(keys.slot).m_autopilot = false;
        Reset();
        Ship(keys.slot).m_velocity = CVector2(5.5, 0.0);
        Press(keys.forward);
        Press(keys.backward);
        Arena().PollKeyboard();
        EXPECT_NEAR(Ship(keys.slot).m_velocity.m_x, expected[keys.slot], 1e-12);
        EXPECT_EQ(Ship(keys.slot).m_velocity.m_y, 0.0);
    }
}

TEST_F(ArenaKeys, SentryKeysActOnlyOffAutopilot)
{
    CSentry& sentry = Sentry();
    Press('J');
    Press('L');
    Arena().PollKeyboard();
    EXPECT_EQ(sentry.m_heading.m_x, 0.0);
    EXPECT_EQ(sentry.m_heading.m_y, 10.0);
    EXPECT_EQ(sentry.FindFreeBullet(), 0);

    sentry.m_autopilot = false;
    KeyboardReleaseAll();
    Press('J');
    Arena().PollKeyboard();
    EXPECT_NEAR(sentry.m_heading.m_x, 10.0 * std::cos(Degrees(80.0)), 1e-6);
    EXPECT_NEAR(sentry.m_heading.m_y, 10.0 * std::sin(Degrees(80.0)), 1e-6);

    sentry.m_heading = CVector2(0.0, 10.0);
    KeyboardReleaseAll();
    Press('K');
    Arena().PollKeyboard();
    EXPECT_NEAR(sentry.m_heading.m_x, 10.0 * std::cos(Degrees(100.0)), 1e-6);
    EXPECT_NEAR(sentry.m_heading.m_y, 10.0 * std::sin(Degrees(100.0)), 1e-6);

    sentry.m_heading = CVector2(0.0, 10.0);
    KeyboardReleaseAll();
    Press('L');
    for (int i = 0; i < 4; ++i)
        Arm(sentry.m_bullets[i], 1.0, 1.0);
    Arena().PollKeyboard();
    const CBullet& bullet = sentry.m_bullets[4];
    EXPECT_TRUE(bullet.m_active);
    EXPECT_EQ(bullet.m_position.m_x, 700.0);
    EXPECT_EQ(bullet.m_position.m_y, 500.0);
    EXPECT_EQ(bullet.m_velocity.m_x, 0.0);
    EXPECT_EQ(bullet.m_velocity.m_y, 20.0);
    EXPECT_EQ(bullet.m_life, 10);
    EXPECT_EQ(sentry.FindFreeBullet(), 5);

    // With every slot in flight, L does nothing.
    for (CBullet& slot : sentry.m_bullets)
        Arm(slot, 1.0, 1.0);
    const std::vector<double> before = GameState(Arena());
    Arena().PollKeyboard();
    EXPECT_EQ(GameState(Arena()), before);
}

TEST_F(ArenaKeys, KeysReleasedThroughTheTableStopActing)
{
    Press(VK_UP);
    Arena().PollKeyboard();
    Release(VK_UP);
    Arena().PollKeyboard();
    EXPECT_NEAR(Ship(0).m_velocity.m_x, kThrustStep, 1e-12);

    // F1 hands ship 1 to the autopilot: its held keys stop acting.
    Press(VK_UP);
    KeyUp(VK_F1);
    Arena().PollKeyboard();
    EXPECT_NEAR(Ship(0).m_velocity.m_x, kThrustStep, 1e-12);
    KeyUp(VK_F1);
    Arena().PollKeyboard();
    EXPECT_NEAR(Ship(0).m_velocity.m_x, 2 * kThrustStep, 1e-12);
}

class ArenaKeysDeathTest : public ArenaKeys
{};

TEST_F(ArenaKeysDeathTest, EscapeEndsTheProgramWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(Arena().OnKeyDown(VK_ESCAPE, 1, 0), testing::ExitedWithCode(0), "");
    KeyUp('P');
    ASSERT_TRUE(Arena().m_paused);
    EXPECT_EXIT(Arena().SendMessage(WM_KEYDOWN, VK_ESCAPE, MakeLParam(1, 1)), testing::ExitedWithCode(0), "");
}
