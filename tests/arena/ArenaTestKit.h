#pragma once
// Helpers of the arena and combat tests: a detached 800 x 600 arena built from the pinned
// clock and generator with no key held around each test, and a calm scene to arrange in.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "arena/ArenaView.h"
#include "armament/Weapon.h"
#include "platform/wnd/Keyboard.h"
#include "support/TestSupport.h"

namespace arenatest {

constexpr double kThrustStep = 1.0605;  // one thrust along the starting heading of length 7.07

// The scan code only has to be unique per key.
inline void Press(UINT key) { KeyboardPress(key, 0x1000u + key, false); }

// An active bullet standing at (x, y).
inline void Arm(CBullet& bullet, double x, double y, double vx = 0.0, double vy = 0.0, int life = 10)
{
    bullet.m_active = true;
    bullet.m_position = CVector2(x, y);
    bullet.m_velocity = CVector2(vx, vy);
    bullet.m_life = life;
}

// An active power-up at (x, y) with the test's drift and life.
inline void Place(CPowerUp& powerUp, double x, double y, double vx = 0.0, double vy = 0.0, int life = 100)
{
    powerUp.m_active = true;
    powerUp.m_position = CVector2(x, y);
    powerUp.m_velocity = CVector2(vx, vy);
    powerUp.m_heading = CVector2(5.0, 0.0);
    powerUp.m_life = life;
}

class ArenaTest : public testsupport::PinnedRandomTest
{
protected:
    void SetUp() override
    {
        KeyboardReleaseAll();
        m_arena = std::make_unique<CArenaView>();
        Resize(800, 600);
    }
    void TearDown() override { KeyboardReleaseAll(); }

    void Resize(int width, int height)
    {
        m_arena->SetDetachedClientSize(width, height);
        m_arena->OnSize(SIZE_RESTORED, width, height);
    }

    // Nothing in flight, no timer running, no autopilot (nor the sentry's), every ship at
    // rest with 25 hit points and the single shot facing right at (100 + 120 i, 300), below
    // the scoreboard; the sentry at (700, 500) facing down with 15. Scores and count stay.
    void Calm()
    {
        const auto silence = [](auto& bullets) {
            for (CBullet& bullet : bullets)
                bullet.m_active = false;
        };
        for (int i = 0; i < CArenaView::kShipSlots; ++i) {
            CShip& ship = Ship(i);
            ship.m_position = CVector2(100.0 + 120.0 * i, 300.0);
            ship.m_velocity = CVector2(0.0, 0.0);
            ship.m_heading = CVector2(7.07, 0.0);
            ship.m_boostTimer = ship.m_invulnerableTimer = ship.m_cooldown = 0;
            ship.m_hitPoints = 25;
            ship.m_hit = ship.m_autopilot = false;
            ship.m_weapon = &g_singleShotWeapon;
            silence(ship.m_bullets);
        }
        for (CExplosion& explosion : Arena().m_explosions) {
            explosion.m_active = false;
            silence(explosion.m_particles);
        }
        Sentry().Place(CPoint(700, 500), CPoint(0, 10), 15);
        Sentry().m_autopilot = false;
        silence(Sentry().m_bullets);
        for (CPowerUp& powerUp : Arena().m_powerUps)
            powerUp.m_active = false;
    }

    // One poll of the held keys as a tick makes it: the key table read into the seats' keys.
    void Poll()
    {
        CTickInput input;
        CArenaView::ReadHeldKeys(input);
        std::copy(std::begin(input.m_seats), std::end(input.m_seats), m_arena->m_keys);
        m_arena->PollKeyboard();
    }

    CArenaView& Arena() { return *m_arena; }
    CShip& Ship(int slot) { return m_arena->m_ships[slot]; }
    CSentry& Sentry() { return m_arena->m_sentry; }

    std::unique_ptr<CArenaView> m_arena;
};

}  // namespace arenatest
