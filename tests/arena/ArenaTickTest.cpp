// Building the arena and running its tick: pause, the order of the steps, the timers,
// the sentry's choice of target and the ships' autopilot dispatch.
#include <gtest/gtest.h>

#include <vector>

#include "arena/ArenaTestKit.h"

using arenatest::kThrustStep;
using arenatest::Press;
using testsupport::Near;

using ArenaTick = arenatest::ArenaTest;

TEST_F(ArenaTick, ConstructionPlacesEverySlotYBeforeX)
{
    // Replays the draws: two in each ship's constructor, then y, x (in 1..500) and a target
    // pick per slot, then the sentry's y and x (in 1..300).
    g_randomGenerator.m_state = kStartState;
    for (int i = 0; i < 2 * CArenaView::kShipSlots; ++i)
        RandomRange(1, 500);
    const COLORREF colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00C8C8, 0xC8C800, 0xC800C8};
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        const double y = RandomRange(1, 500), x = RandomRange(1, 500);
        RandomRange(0, 6);
        const CShip& s = Ship(i);
        EXPECT_EQ((std::vector<double>{s.m_position.m_x, s.m_position.m_y, s.m_heading.m_x, s.m_heading.m_y,
                                       s.m_velocity.m_x, s.m_velocity.m_y, 1.0 * s.m_colour, 1.0 * s.m_autopilot,
                                       1.0 * s.m_index}),
                  (std::vector<double>{x, y, 7.07, 0, 0, 0, 1.0 * colours[i], i == 0 ? 0.0 : 1.0, 1.0 * i}));
    }
    const double y = RandomRange(1, 300), x = RandomRange(1, 300);
    const CSentry& s = Sentry();
    EXPECT_EQ((std::vector<double>{s.m_position.m_x, s.m_position.m_y, s.m_heading.m_x, s.m_heading.m_y,
                                   1.0 * s.m_hitPoints, 1.0 * s.m_score, 1.0 * Arena().m_shipCount,
                                   1.0 * Arena().m_paused}),
              (std::vector<double>{x, y, 0, 10, 15, 0, 3, 0}));
}

TEST_F(ArenaTick, PauseFreezesEverythingAndTimersCountOnlyInPlayDownToZero)
{
    Calm();
    const int timers[] = {2, 1, 0, 2, 2, 2};
    for (int i = 0; i < CArenaView::kShipSlots; ++i)
        Ship(i).m_boostTimer = Ship(i).m_invulnerableTimer = timers[i];
    Ship(2).m_velocity = CVector2(1.0, 0.0);
    for (const UINT key : std::initializer_list<UINT>{VK_UP, VK_RETURN, 'L'})
        Press(key);
    Arena().m_paused = true;
    // Everything the game holds by value, from the ship count to the pause flag.
    const auto snapshot = [this] {
        const auto* first = reinterpret_cast<const unsigned char*>(&Arena().m_shipCount);
        return std::vector<unsigned char>(first, reinterpret_cast<const unsigned char*>(&Arena().m_paused + 1));
    };
    const std::vector<unsigned char> before = snapshot();
    const std::uint32_t generator = g_randomGenerator.m_state;
    Arena().OnTimer(CArenaView::kTimerId);
    EXPECT_TRUE(snapshot() == before && g_randomGenerator.m_state == generator && !Arena().m_invalidated);

    Arena().m_paused = false;
    for (const std::vector<int>& expected : {std::vector{1, 0, 0, 2, 2, 2}, std::vector{0, 0, 0, 2, 2, 2}}) {
        Arena().OnTimer(CArenaView::kTimerId);
        EXPECT_TRUE(Arena().m_invalidated && Arena().m_eraseRequested);
        for (int i = 0; i < CArenaView::kShipSlots; ++i)
            EXPECT_TRUE(Ship(i).m_boostTimer == expected[i] && Ship(i).m_invulnerableTimer == expected[i]) << i;
    }
}

TEST_F(ArenaTick, StepsRunInTheirOrder)
{
    Calm();
    // Slot 1 moves onto slot 0 at 228 first; slot 0's keys then thrust (it has not moved)
    // and fire a shot that combat lands on slot 1 in the same tick.
    Ship(1).m_velocity = CVector2(8.0, 0.0);
    Ship(0).m_position = CVector2(228.0, 300.0);
    Press(VK_UP);
    Press(VK_RETURN);
    // Just outside slot 2's box and drifting in: combat sees it where it stood.
    arenatest::Place(Arena().m_powerUps[0], 356.0, 300.0, -1.0, 0.0);
    // Slot 1's autopilot fires after combat (slot 0 stays unhurt), and its last tick of
    // boost lets its thrust go past 5 pixels a tick.
    Ship(1).m_autopilot = true;
    Ship(1).m_target = 2;
    Ship(1).m_boostTimer = 1;
    // Slot 2's last invulnerable tick lets the bullet standing on it through.
    Ship(2).m_invulnerableTimer = 1;
    arenatest::Arm(Ship(0).m_bullets[0], 340.0, 300.0);
    Arena().OnTimer(CArenaView::kTimerId);
    const CPowerUp& powerUp = Arena().m_powerUps[0];
    EXPECT_EQ((std::vector<double>{Ship(0).m_position.m_x, Ship(0).m_velocity.m_x, 1.0 * Ship(1).m_hitPoints,
                                   1.0 * Ship(0).m_score, 1.0 * powerUp.m_active, powerUp.m_position.m_x,
                                   1.0 * Ship(1).m_bullets[0].m_active, 1.0 * Ship(0).m_hitPoints,
                                   Ship(1).m_velocity.m_x, 1.0 * Ship(2).m_hitPoints,
                                   1.0 * Ship(0).m_bullets[0].m_active}),
              (std::vector<double>{228, kThrustStep, 24, 1, 1, 355, 1, 25, 8 + kThrustStep, 25, 1}));
}

TEST_F(ArenaTick, SentryTracksTheNearestUnboostedShipElseShipOne)
{
    // Seen in what the sentry at (1200, 200), facing down, does: a ship straight below is
    // fired at (90 degrees kept); one to its right turns it to 85.
    const struct { CVector2 at[3]; int boost[3]; bool fired; double angle; } rows[] = {
        // 100.7 first, then 100.3: the running best is the truncated 100, so the first stays.
        {{{2500, 2500}, {1200, 300.7}, {1300.3, 200}}, {5, 0, 0}, true, 90.0},
        // Boosted ships are passed over, however near; all boosted, ship 1 is kept.
        {{{1200, 250}, {1400, 200}, {1200, 230}}, {5, 0, 1}, false, 85.0},
        {{{1300, 200}, {1200, 260}, {1100, 200}}, {15, 15, 15}, false, 85.0},
        // 1000 or more away: nobody qualifies; 999 below does (aimed at, beyond firing range).
        {{{2400, 200}, {1200, 1200}, {1, 200}}, {0, 0, 0}, false, 85.0},
        {{{2400, 200}, {1200, 1199}, {1, 200}}, {0, 0, 0}, false, 90.0},
    };
    Resize(3000, 3000);
    for (const auto& row : rows) {
        Calm();
        Sentry().m_autopilot = true;
        Sentry().m_position = CVector2(1200, 200);
        for (int i = 0; i < 3; ++i) {
            Ship(i).m_position = row.at[i];
            Ship(i).m_boostTimer = row.boost[i];
        }
        Arena().OnTimer(CArenaView::kTimerId);
        EXPECT_EQ(Sentry().m_bullets[0].m_active, row.fired) << &row - rows;
        EXPECT_NEAR(Sentry().m_heading.Angle(), row.angle, 1e-6) << &row - rows;
    }
}

TEST_F(ArenaTick, AutopilotRepicksInvalidTargetsAndChasesTheSentryAsSix)
{
    // Slot 1 flies alone on autopilot from (220, 300) facing right.
    const struct { int target, shipCount; } invalid[] = {{1, 3}, {3, 3}, {2, 2}, {-1, 3}};
    for (const auto [target, shipCount] : invalid) {
        Calm();
        Ship(1).m_autopilot = true;
        Ship(1).m_target = target;
        Arena().m_shipCount = shipCount;
        const std::uint32_t before = g_randomGenerator.m_state;
        Arena().OnTimer(CArenaView::kTimerId);
        const std::uint32_t after = g_randomGenerator.m_state;
        g_randomGenerator.m_state = before;  // one draw, the pick, and no steering
        EXPECT_EQ(Ship(1).m_target, RandomRange(0, 6)) << target;
        EXPECT_EQ(g_randomGenerator.m_state, after);
        EXPECT_TRUE(Near(Ship(1).m_heading, 7.07, 0.0) && Near(Ship(1).m_velocity, 0.0, 0.0) &&
                    Ship(1).FindFreeBullet() == 0);
    }
    // The sentry straight above: the ship turns 5 degrees toward it.
    Arena().m_shipCount = 3;
    Ship(1).m_target = 6;
    Sentry().m_position = CVector2(220.0, 100.0);
    Arena().OnTimer(CArenaView::kTimerId);
    EXPECT_NEAR(Ship(1).m_heading.Angle(), -5.0, 1e-6);
    EXPECT_EQ(Ship(1).m_target, 6);
}
