// The keyboard: releases switch autopilots, the ship count and the pause; held keys turn,
// thrust and fire once per poll; Escape ends the program.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "arena/ArenaTestKit.h"

using arenatest::kThrustStep;
using arenatest::Press;

using ArenaKeys = arenatest::ArenaTest;

TEST_F(ArenaKeys, ReleasesSwitchOnlyTheirOwnSettingAlsoWhilePaused)
{
    // Autopilots of ships 1 to 3 and the sentry, pause, ship count.
    const auto read = [this] {
        return std::vector<int>{Ship(0).m_autopilot, Ship(1).m_autopilot, Ship(2).m_autopilot,
                                Sentry().m_autopilot, Arena().m_paused, Arena().m_shipCount};
    };
    const struct { UINT key; std::vector<int> after; } rows[] = {
        {VK_F3, {0, 1, 0, 1, 0, 3}}, {VK_F2, {0, 0, 0, 1, 0, 3}}, {VK_F1, {1, 0, 0, 1, 0, 3}},
        {VK_F4, {1, 0, 0, 0, 0, 3}}, {'P', {1, 0, 0, 0, 1, 3}},   {VK_F1, {0, 0, 0, 0, 1, 3}},
        {VK_F3, {0, 0, 1, 0, 1, 3}}, {VK_F4, {0, 0, 1, 1, 1, 3}}, {VK_PRIOR, {0, 0, 1, 1, 1, 4}},
        {VK_PRIOR, {0, 0, 1, 1, 1, 5}}, {VK_PRIOR, {0, 0, 1, 1, 1, 6}}, {VK_PRIOR, {0, 0, 1, 1, 1, 6}},
        {VK_NEXT, {0, 0, 1, 1, 1, 5}}, {VK_NEXT, {0, 0, 1, 1, 1, 4}}, {VK_NEXT, {0, 0, 1, 1, 1, 3}},
        {VK_NEXT, {0, 0, 1, 1, 1, 2}}, {VK_NEXT, {0, 0, 1, 1, 1, 2}}, {'Q', {0, 0, 1, 1, 1, 2}},
        {VK_RETURN, {0, 0, 1, 1, 1, 2}}, {'P', {0, 0, 1, 1, 0, 2}},  // Q and Enter switch nothing
    };
    ASSERT_EQ(read(), (std::vector<int>{0, 1, 1, 1, 0, 3}));
    // Through the message table, which names key-up twice: only the first entry takes
    // it, so each toggle acts once.
    for (const auto& row : rows) {
        Arena().SendMessage(WM_KEYUP, row.key, MakeLParam(1, 0));
        EXPECT_EQ(read(), row.after) << "row " << &row - rows;
    }
}

TEST_F(ArenaKeys, HeldKeysActInOrderOnlyForTheirShipInPlayOffAutopilotAfterTheCooldown)
{
    // Each key (with a second key held along, in the last rows) and the one value of seen()
    // it changes. Every ship starts at 5.5 pixels a tick, which each thrust first cuts to 5.
    constexpr double kUp = 5.0 + kThrustStep, kDown = 5.0 - kThrustStep;
    // Ships 1 to 3: heading angle, speed along x, first free bullet; the sentry: barrel
    // angle, first free bullet. Rounded, so that turns compare exactly.
    const auto seen = [this] {
        std::vector<double> values;
        for (const CShip* s = Arena().m_ships; s != Arena().m_ships + 3; ++s)
            values.insert(values.end(), {s->m_heading.Angle(), s->m_velocity.m_x, 1.0 * s->FindFreeBullet()});
        values.insert(values.end(), {Sentry().m_heading.Angle(), 1.0 * Sentry().FindFreeBullet()});
        for (double& value : values)
            value = std::round(value * 1e6) / 1e6;
        return values;
    };
    const struct { UINT key; int field; double value; UINT also = 0; } rows[] = {
        {VK_LEFT, 0, -6}, {VK_RIGHT, 0, 6}, {VK_UP, 1, kUp}, {VK_DOWN, 1, kDown}, {VK_RETURN, 2, -1},
        {'A', 3, -6}, {'D', 3, 6}, {'W', 4, kUp}, {'S', 4, kDown}, {VK_SPACE, 5, -1},
        {VK_NUMPAD4, 6, -6}, {VK_NUMPAD6, 6, 6}, {VK_NUMPAD8, 7, kUp}, {VK_NUMPAD5, 7, kDown}, {VK_ADD, 8, -1},
        {'J', 9, 80}, {'K', 9, 100}, {'L', 10, 1}, {VK_NUMPAD2, 6, 0},  // keypad 2 moves nothing
        {VK_LEFT, 0, 0, VK_RIGHT}, {VK_UP, 1, kDown, VK_DOWN}, {'S', 4, 5.0, 'W'}, {VK_NUMPAD5, 7, 5.0, VK_NUMPAD8}};
    // Conditions: the owner on autopilot, the ship count, every ship's cooldown.
    const struct { bool autopilot; int count, cooldown; } conditions[] = {
        {false, 3, 0}, {false, 3, -4}, {true, 3, 0}, {false, 2, 0}, {false, 3, 1}};
    for (const auto& [key, field, value, also] : rows) {
        for (const auto& [autopilot, count, cooldown] : conditions) {
            Calm();
            for (CShip& ship : Arena().m_ships) {
                ship.m_velocity = CVector2(5.5, 0.0);
                ship.m_cooldown = cooldown;
                ship.m_weapon = &g_ringWeapon;  // fires whatever the cooldown: the key's own test holds it
            }
            (field < 9 ? Ship(field / 3).m_autopilot : Sentry().m_autopilot) = autopilot;
            Arena().m_shipCount = count;
            std::vector<double> expected = seen();
            KeyboardReleaseAll();
            Press(key);
            Press(also);  // key 0 is never held
            Poll();
            const bool fire = field < 9 && field % 3 == 2;
            if (!autopilot && !(count == 2 && field / 3 == 2) && !(fire && cooldown > 0))
                expected[field] = std::round(value * 1e6) / 1e6;
            EXPECT_EQ(seen(), expected) << "key " << key << " and " << also << ", autopilot " << autopilot << ", "
                                        << count << " ships, cooldown " << cooldown;
        }
    }
}

using ArenaKeysDeathTest = ArenaKeys;

TEST_F(ArenaKeysDeathTest, EscapeExitsWithZeroAlsoWhilePaused)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(Arena().OnKeyDown(VK_ESCAPE, 1, 0), testing::ExitedWithCode(0), "");
    Arena().OnKeyUp('P', 1, 0);
    EXPECT_EXIT(Arena().SendMessage(WM_KEYDOWN, VK_ESCAPE, MakeLParam(1, 1)), testing::ExitedWithCode(0), "");
}
