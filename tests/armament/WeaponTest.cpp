// The five weapons: their guards, volleys, bullet velocities, lives and cooldowns.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;

namespace {

std::vector<int> ActiveSlots(const CShip& ship)
{
    std::vector<int> slots;
    for (int i = 0; i < CShip::kBulletCount; ++i)
        if (ship.m_bullets[i].m_active)
            slots.push_back(i);
    return slots;
}

// Direction in degrees, folded into [0, 360).
double Direction(const CVector2& v)
{
    const double a = std::fmod(v.Angle() + 360.0, 360.0);
    return a > 360.0 - 1e-6 ? 0.0 : a;
}

}  // namespace

class WeaponTest : public testsupport::PinnedRandomTest
{
protected:
    // At (30, 40), heading (7.07, 0), velocity (1, 0), every slot free.
    CShip& Armed(int cooldown = 0, int freeSlots = 10)
    {
        m_ship.Respawn(30, 40, 1, 0, 7.07, 0);
        m_ship.m_cooldown = cooldown;
        for (int i = 0; i < CShip::kBulletCount; ++i)
            m_ship.m_bullets[i].m_active = i >= freeSlots;
        return m_ship;
    }

    CShip m_ship;
};

TEST_F(WeaponTest, Guards)
{
    struct Case
    {
        const char* name;
        const CWeapon* weapon;
        int cooldown, freeSlots, launched, cooldownAfter;
    };
    const Case cases[] = {
        {"single", &g_singleShotWeapon, 1, 10, 0, 1},   {"single", &g_singleShotWeapon, -4, 10, 1, 2},
        {"single", &g_singleShotWeapon, 0, 1, 1, 2},    {"single", &g_singleShotWeapon, 0, 0, 0, 0},
        {"spread", &g_spreadWeapon, 1, 10, 0, 1},       {"spread", &g_spreadWeapon, -4, 10, 3, 6},
        {"spread", &g_spreadWeapon, 0, 2, 0, 0},        {"spread", &g_spreadWeapon, 0, 3, 3, 6},
        {"ring", &g_ringWeapon, 1, 10, 10, 1},          {"ring", &g_ringWeapon, -4, 10, 10, -4},
        {"ring", &g_ringWeapon, 0, 9, 0, 0},            {"stacked", &g_stackedShotWeapon, 1, 10, 0, 1},
        {"stacked", &g_stackedShotWeapon, -4, 10, 3, 6}, {"stacked", &g_stackedShotWeapon, 0, 2, 0, 0},
        {"star", &g_starBurstWeapon, 1, 10, 0, 1},      {"star", &g_starBurstWeapon, -4, 10, 5, 0},
        {"star", &g_starBurstWeapon, -2, 3, 3, -2},     // stops short and leaves the cooldown
    };
    for (const Case& c : cases) {
        CShip& ship = Armed(c.cooldown, c.freeSlots);
        c.weapon->Fire(&ship);
        EXPECT_EQ(static_cast<int>(ActiveSlots(ship).size()), 10 - c.freeSlots + c.launched)
            << c.name << " cooldown " << c.cooldown << " free " << c.freeSlots;
        EXPECT_EQ(ship.m_cooldown, c.cooldownAfter) << c.name << " cooldown " << c.cooldown << " free " << c.freeSlots;
    }
}

TEST_F(WeaponTest, SingleAndStackedShots)
{
    CShip& ship = Armed();
    ship.m_position = CVector2(30.5, 40.25);
    g_singleShotWeapon.Fire(&ship);
    EXPECT_TRUE(Near(ship.m_bullets[0].m_velocity, 22.21, 0, 1e-12));
    EXPECT_TRUE(Near(ship.m_bullets[0].m_position, 30.5, 40.25));
    EXPECT_EQ(ship.m_bullets[0].m_life, 18);
    const CRect client(0, 0, 800, 600);
    for (int i = 0; i < 17; ++i)
        ship.m_bullets[0].Update(client);
    EXPECT_TRUE(ship.m_bullets[0].m_active);
    ship.m_bullets[0].Update(client);
    EXPECT_FALSE(ship.m_bullets[0].m_active);

    g_stackedShotWeapon.Fire(&Armed());
    EXPECT_EQ(ActiveSlots(m_ship), (std::vector<int>{0, 1, 2}));
    for (int j = 0; j < 3; ++j) {
        EXPECT_TRUE(Near(m_ship.m_bullets[j].m_velocity, 22.21, 0, 1e-12));
        EXPECT_EQ(m_ship.m_bullets[j].m_life, 20);
    }
}

TEST_F(WeaponTest, SpreadTurnsTheInheritedVelocityToo)
{
    CShip& ship = Armed();
    ship.m_velocity = CVector2(0, 2);
    g_spreadWeapon.Fire(&ship);
    const CVector2 base(7.07 * 2.5, 1);  // heading x 2.5 + velocity x 0.5
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(ship.m_bullets[j].m_velocity.Angle(), base.Angle() + 5 * j - 5, 1e-9) << j;
        EXPECT_NEAR(ship.m_bullets[j].m_velocity.Length(), base.Length(), 1e-9) << j;
        EXPECT_EQ(ship.m_bullets[j].m_life, 18);
    }
}

TEST_F(WeaponTest, RingAndStarBurstDirections)
{
    CShip& ship = Armed();
    ship.m_heading = CVector2(0, 7.07);  // down the screen; the ship's velocity is not added
    g_ringWeapon.Fire(&ship);
    // The first flies 45 degrees anticlockwise of the heading, the second 9, the third 27 clockwise.
    for (int j = 0; j < 10; ++j) {
        EXPECT_NEAR(Direction(ship.m_bullets[j].m_velocity), std::fmod(45.0 + 36 * j, 360.0), 1e-6) << j;
        EXPECT_NEAR(ship.m_bullets[j].m_velocity.Length(), 1.0, 1e-12) << j;
        EXPECT_EQ(ship.m_bullets[j].m_life, 25);
    }

    g_starBurstWeapon.Fire(&Armed());
    for (int j = 0; j < 5; ++j) {
        EXPECT_NEAR(Direction(m_ship.m_bullets[j].m_velocity), 72.0 * j, 1e-6) << j;
        EXPECT_NEAR(m_ship.m_bullets[j].m_velocity.Length(), 14.14, 1e-9) << j;
        EXPECT_EQ(m_ship.m_bullets[j].m_life, 2);
    }
    // With three free slots (2, 5, 7) only the first three directions leave.
    Armed(0, 10);
    for (int i = 0; i < 10; ++i)
        m_ship.m_bullets[i].m_active = !(i == 2 || i == 5 || i == 7);
    g_starBurstWeapon.Fire(&m_ship);
    EXPECT_NEAR(Direction(m_ship.m_bullets[2].m_velocity), 0, 1e-6);
    EXPECT_NEAR(Direction(m_ship.m_bullets[5].m_velocity), 72, 1e-6);
    EXPECT_NEAR(Direction(m_ship.m_bullets[7].m_velocity), 144, 1e-6);
}

TEST_F(WeaponTest, FiresAgainOnceUpdatesHaveCountedTheCooldownDown)
{
    const CRect client(0, 0, 800, 600);
    for (const CWeapon* weapon : std::initializer_list<const CWeapon*>{&g_singleShotWeapon, &g_spreadWeapon,
                                                                      &g_stackedShotWeapon}) {
        CShip& ship = Armed();
        weapon->Fire(&ship);
        const size_t volley = ActiveSlots(ship).size();
        while (ship.m_cooldown > 1)
            ship.Update(client);
        weapon->Fire(&ship);
        EXPECT_EQ(ActiveSlots(ship).size(), volley);
        ship.Update(client);
        weapon->Fire(&ship);
        EXPECT_EQ(ActiveSlots(ship).size(), 2 * volley);
    }
}
