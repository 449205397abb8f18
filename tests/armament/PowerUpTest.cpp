// Power-ups: spawn, drift and spin, life, the flashing X, and the effects on a ship.
#include <gtest/gtest.h>

#include "armament/PowerUp.h"
#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;
using testsupport::Surface;

class PowerUpTest : public testsupport::PinnedRandomTest
{
protected:
    CPowerUp m_powerUp;
};

TEST_F(PowerUpTest, ConstructionAndSpawn)
{
    EXPECT_TRUE(m_powerUp.m_active);
    EXPECT_TRUE(Near(m_powerUp.m_position, 10, 10));
    EXPECT_TRUE(Near(m_powerUp.m_heading, 5, 0));
    EXPECT_TRUE(Near(m_powerUp.m_velocity, 0.02, 0.2, 1e-15));
    EXPECT_EQ(m_powerUp.m_life, 250);

    m_powerUp.m_active = false;
    m_powerUp.m_life = 3;
    m_powerUp.m_kind = 7;
    m_powerUp.Spawn(CPoint(200, 300), CPoint(3, 0), CPoint(5, 0));
    EXPECT_TRUE(m_powerUp.m_active);
    EXPECT_TRUE(Near(m_powerUp.m_position, 200, 300));
    EXPECT_TRUE(Near(m_powerUp.m_velocity, 0.6, 0.02, 1e-15));
    EXPECT_EQ(m_powerUp.m_life, 250);
    EXPECT_EQ(m_powerUp.m_kind, 7);

    m_powerUp.Spawn(CPoint(50, 60), CPoint(0, 0), CPoint(5, 5));
    EXPECT_TRUE(Near(m_powerUp.m_velocity, 0.02, 0.02, 1e-15));
    EXPECT_TRUE(Near(m_powerUp.m_heading, 5, 5));
}

TEST_F(PowerUpTest, UpdateDriftsSpinsAndAges)
{
    const CRect client(0, 0, 640, 480);
    m_powerUp.Spawn(CPoint(639, 100), CPoint(10, -5), CPoint(5, 0));
    m_powerUp.Update(client);
    EXPECT_TRUE(Near(m_powerUp.m_position, 1, 99, 1e-9));  // 641 wraps to 1
    EXPECT_NEAR(m_powerUp.m_heading.Angle(), 30, 1e-9);
    EXPECT_EQ(m_powerUp.m_life, 249);
    for (int i = 0; i < 248; ++i)
        m_powerUp.Update(client);
    EXPECT_TRUE(m_powerUp.m_active);
    m_powerUp.Update(client);
    EXPECT_FALSE(m_powerUp.m_active);

    const CVector2 position = m_powerUp.m_position;
    const CVector2 heading = m_powerUp.m_heading;
    m_powerUp.Update(client);
    EXPECT_TRUE(Near(m_powerUp.m_position, position.m_x, position.m_y));
    EXPECT_TRUE(Near(m_powerUp.m_heading, heading.m_x, heading.m_y));
    EXPECT_EQ(m_powerUp.m_life, 0);
}

TEST_F(PowerUpTest, DrawsAnXInAFreshColour)
{
    m_powerUp.Spawn(CPoint(100, 100), CPoint(1, 1), CPoint(5, 0));
    testsupport::ReferenceRandom reference = Reference();
    const int red = reference.Range(0, 255);
    const int green = reference.Range(0, 255);
    const int blue = reference.Range(0, 255);
    const COLORREF colour = RGB(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue));

    Surface actual(200, 200);
    CPen* const before = actual.Dc()->GetCurrentPen();
    m_powerUp.Draw(actual.Dc());
    EXPECT_EQ(actual.Dc()->GetCurrentPen(), before);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);

    // The third tip lies a few billionths left of x = 100 and truncates to 99.
    Surface expected(200, 200);
    for (const CPoint tip : {CPoint(107, 100), CPoint(100, 107), CPoint(99, 92), CPoint(92, 100)})
        expected.Path(colour, {{100, 100}, tip});
    EXPECT_TRUE(actual.Same(expected));
    EXPECT_EQ(actual.Pixel(100, 100), colour);

    // Inactive: nothing drawn, but the three colour draws still happen.
    m_powerUp.m_active = false;
    Surface idle(200, 200);
    for (int i = 0; i < 3; ++i)
        reference.Range(0, 255);
    m_powerUp.Draw(idle.Dc());
    EXPECT_TRUE(idle.LitPixels().empty());
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
}

TEST_F(PowerUpTest, EffectsWithoutAWeapon)
{
    struct Effect
    {
        int kind, hitPoints, boost, invulnerable;
    };
    // The ship starts with 25 hit points, a boost of 40 and invulnerability of 40.
    for (const Effect& e : {Effect{1, 25, 40, 40}, Effect{3, 25, 150, 40}, Effect{4, 29, 40, 40},
                            Effect{5, 25, 40, 100}, Effect{6, 27, 40, 40}, Effect{10, 25, 40, 40},
                            Effect{-1, 25, 40, 40}}) {
        CShip ship;
        ship.m_boostTimer = ship.m_invulnerableTimer = 40;
        m_powerUp.m_active = true;
        m_powerUp.m_kind = e.kind;
        const std::uint32_t state = g_randomGenerator.m_state;
        m_powerUp.ApplyTo(&ship);
        EXPECT_FALSE(m_powerUp.m_active) << e.kind;
        EXPECT_EQ(ship.m_hitPoints, e.hitPoints) << e.kind;
        EXPECT_EQ(ship.m_boostTimer, e.boost) << e.kind;
        EXPECT_EQ(ship.m_invulnerableTimer, e.invulnerable) << e.kind;
        EXPECT_EQ(ship.m_weapon, &g_singleShotWeapon) << e.kind;
        EXPECT_EQ(g_randomGenerator.m_state, state) << e.kind;
    }
}

TEST_F(PowerUpTest, RandomWeaponMapping)
{
    const CWeapon* const byDraw[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                                     &g_starBurstWeapon};
    // Find a generator state that makes each draw of 0..4 come up.
    std::uint32_t stateFor[5] = {};
    for (std::uint32_t state = 1, found = 0; found != 0x1F; ++state) {
        const int w = testsupport::ReferenceRandom(state, testsupport::g_pinnedSeconds).Range(0, 4);
        if (!(found & (1u << w)))
            stateFor[w] = state;
        found |= 1u << w;
    }
    for (const int kind : {0, 2, 7, 8, 9}) {
        for (int w = 0; w < 5; ++w) {
            CShip ship;
            ship.m_weapon = w == 0 ? static_cast<CWeapon*>(&g_ringWeapon) : &g_singleShotWeapon;
            m_powerUp.m_active = true;
            m_powerUp.m_kind = kind;
            g_randomGenerator.m_state = stateFor[w];
            m_powerUp.ApplyTo(&ship);
            EXPECT_EQ(ship.m_weapon, byDraw[w]) << "kind " << kind << " draw " << w;
            EXPECT_FALSE(m_powerUp.m_active);
        }
    }
}
