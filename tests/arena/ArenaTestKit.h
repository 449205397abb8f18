#pragma once
// Helpers of the arena, combat and endurance tests: a detached arena built from a pinned
// clock and generator, with every key released around each test; a quiet scene to
// arrange tests in; and a flat record of the whole game state to compare two states.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "arena/ArenaView.h"
#include "armament/Weapon.h"
#include "platform/wnd/Keyboard.h"
#include "support/TestSupport.h"

namespace arenatest {

// The heading every ship starts with, and one thrust step along it.
constexpr double kStartHeadingX = 7.07;
constexpr double kThrustStep = 7.07 * 0.15;

// Press and release keys through the application-wide key table; the scan code only
// has to be unique per key.
inline void Press(UINT virtualKey) { KeyboardPress(virtualKey, 0x1000u + virtualKey, false); }
inline void Release(UINT virtualKey) { KeyboardRelease(virtualKey, 0x1000u + virtualKey, false); }

inline void Silence(CBullet& bullet) { bullet.m_active = false; }

// An active bullet standing at (x, y).
inline void Arm(CBullet& bullet, double x, double y, double vx = 0.0, double vy = 0.0, int life = 10)
{
    bullet.m_active = true;
    bullet.m_position = CVector2(x, y);
    bullet.m_velocity = CVector2(vx, vy);
    bullet.m_life = life;
}

// An active power-up standing at (x, y) with a drift and life of the test's choosing.
inline void Place(CPowerUp& powerUp, double x, double y, double vx = 0.0, double vy = 0.0, int life = 100)
{
    powerUp.m_active = true;
    powerUp.m_position = CVector2(x, y);
    powerUp.m_velocity = CVector2(vx, vy);
    powerUp.m_heading = CVector2(5.0, 0.0);
    powerUp.m_life = life;
}

// Nothing in flight, no timers running, every ship at rest with full hit points facing
// right, the ships spread along y = 300 (x = 100, 220, ... 700) well below the
// scoreboard, the sentry at (700, 500) pointing down with 15 hit points. Autopilots,
// scores and the ship count are left as they are.
inline void QuietScene(CArenaView& arena)
{
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        CShip& ship = arena.m_ships[i];
        ship.m_position = CVector2(100.0 + 120.0 * i, 300.0);
        ship.m_velocity = CVector2(0.0, 0.0);
        ship.m_heading = CVector2(kStartHeadingX, 0.0);
        ship.m_boostTimer = 0;
        ship.m_invulnerableTimer = 0;
        ship.m_hitPoints = 25;
        ship.m_hit = false;
        ship.m_cooldown = 0;
        ship.m_weapon = &g_singleShotWeapon;
        for (CBullet& bullet : ship.m_bullets)
            Silence(bullet);
    }
    for (CExplosion& explosion : arena.m_explosions) {
        explosion.m_active = false;
        for (CBullet& particle : explosion.m_particles)
            Silence(particle);
    }
    arena.m_sentry.m_position = CVector2(700.0, 500.0);
    arena.m_sentry.m_heading = CVector2(0.0, 10.0);
    arena.m_sentry.m_hitPoints = 15;
    for (CBullet& bullet : arena.m_sentry.m_bullets)
        Silence(bullet);
    for (CPowerUp& powerUp : arena.m_powerUps)
        powerUp.m_active = false;
}

inline int WeaponNumber(const CWeapon* weapon)
{
    const CWeapon* const weapons[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                                      &g_starBurstWeapon};
    for (int i = 0; i < 5; ++i) {
        if (weapons[i] == weapon)
            return i;
    }
    return -1;
}

inline void Append(std::vector<double>& out, const CVector2& v)
{
    out.push_back(v.m_x);
    out.push_back(v.m_y);
}

inline void Append(std::vector<double>& out, const CBullet& bullet)
{
    Append(out, bullet.m_position);
    Append(out, bullet.m_velocity);
    Append(out, bullet.m_heading);
    out.push_back(bullet.m_active);
    out.push_back(bullet.m_life);
}

// Every field of the game, in a fixed order, so that two states compare as vectors.
inline std::vector<double> GameState(const CArenaView& arena)
{
    std::vector<double> out;
    out.push_back(arena.m_shipCount);
    out.push_back(arena.m_paused);
    for (const CShip& ship : arena.m_ships) {
        Append(out, ship.m_position);
        Append(out, ship.m_velocity);
        Append(out, ship.m_heading);
        for (const double field : {double(ship.m_hit), double(ship.m_autopilot), double(ship.m_boostTimer),
                                   double(ship.m_hitPoints), double(ship.m_invulnerableTimer), double(ship.m_index),
                                   double(ship.m_score), double(ship.m_deaths), double(ship.m_cooldown),
                                   double(WeaponNumber(ship.m_weapon)), double(ship.m_target), double(ship.m_colour)})
            out.push_back(field);
        for (const CBullet& bullet : ship.m_bullets)
            Append(out, bullet);
    }
    for (const CExplosion& explosion : arena.m_explosions) {
        out.push_back(explosion.m_active);
        out.push_back(explosion.m_ticksLeft);
        for (const CBullet& particle : explosion.m_particles)
            Append(out, particle);
    }
    const CSentry& sentry = arena.m_sentry;
    Append(out, sentry.m_position);
    Append(out, sentry.m_velocity);
    Append(out, sentry.m_heading);
    for (const double field : {double(sentry.m_hitPoints), double(sentry.m_score), double(sentry.m_deaths),
                               double(sentry.m_autopilot)})
        out.push_back(field);
    for (const CBullet& bullet : sentry.m_bullets)
        Append(out, bullet);
    for (const CPowerUp& powerUp : arena.m_powerUps) {
        Append(out, powerUp.m_position);
        Append(out, powerUp.m_velocity);
        Append(out, powerUp.m_heading);
        out.push_back(powerUp.m_active);
        out.push_back(powerUp.m_life);
        out.push_back(powerUp.m_kind);
    }
    return out;
}

// A detached arena of 800 x 600 built from the pinned clock and generator, with no key
// held before or after the test.
class ArenaTest : public testsupport::PinnedRandomTest
{
protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    void SetUp() override
    {
        PinnedRandomTest::SetUp();
        KeyboardReleaseAll();
        m_arena = std::make_unique<CArenaView>();
        Resize(kWidth, kHeight);
    }

    void TearDown() override
    {
        KeyboardReleaseAll();
        m_arena.reset();
        PinnedRandomTest::TearDown();
    }

    void Resize(int width, int height)
    {
        m_arena->SetDetachedClientSize(width, height);
        m_arena->OnSize(SIZE_RESTORED, width, height);
    }

    CArenaView& Arena() { return *m_arena; }
    CShip& Ship(int slot) { return m_arena->m_ships[slot]; }
    CSentry& Sentry() { return m_arena->m_sentry; }

    std::unique_ptr<CArenaView> m_arena;
};

}  // namespace arenatest
