// Ship construction, respawn, motion with its speed limits, thrust, turning, cooldown.
#include <gtest/gtest.h>

#include <climits>

#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;

namespace {

const CRect kClient(0, 0, 800, 600);

}  // namespace

class ShipTest : public testsupport::PinnedRandomTest
{
protected:
    // A ship at (100, 100) facing right with this velocity and boost.
    void Place(double vx, double vy, int boost)
    {
        m_ship.Respawn(100, 100, vx, vy, 7.07, 0);
        m_ship.m_boostTimer = boost;
    }

    CShip m_ship;
};

TEST_F(ShipTest, ConstructionDefaults)
{
    g_randomGenerator.m_state = kStartState;
    testsupport::ReferenceRandom reference = Reference();
    const int x = reference.Range(1, 500);  // x is drawn first
    const int y = reference.Range(1, 500);
    const CShip ship;
    EXPECT_TRUE(Near(ship.m_position, x, y));
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
    EXPECT_TRUE(Near(ship.m_velocity, 0, 0));
    EXPECT_TRUE(Near(ship.m_heading, 0, 2));
    EXPECT_EQ(ship.m_hitPoints, 25);
    EXPECT_TRUE(ship.m_autopilot);
    EXPECT_FALSE(ship.m_hit);
    EXPECT_EQ(ship.m_index, -1);
    EXPECT_EQ(ship.m_target, 0);
    EXPECT_EQ(ship.m_weapon, &g_singleShotWeapon);
    EXPECT_EQ(ship.m_cooldown + ship.m_boostTimer + ship.m_invulnerableTimer + ship.m_score + ship.m_deaths, 0);
    EXPECT_EQ(ship.FindFreeBullet(), 0);
}

TEST_F(ShipTest, RespawnRenewsHitPointsAndTimers)
{
    m_ship.m_hit = true;
    m_ship.m_hitPoints = 3;
    m_ship.m_boostTimer = 100;
    m_ship.m_invulnerableTimer = 40;
    m_ship.m_score = 7;
    m_ship.m_deaths = 2;
    m_ship.m_cooldown = 4;
    m_ship.m_weapon = &g_ringWeapon;
    m_ship.m_bullets[5].m_active = true;
    testsupport::ReferenceRandom reference = Reference();
    m_ship.Respawn(1.5, 2.5, 3.5, 4.5, 5, 5);

    EXPECT_EQ(m_ship.m_target, reference.Range(0, 6));
    EXPECT_TRUE(Near(m_ship.m_position, 1.5, 2.5));
    EXPECT_TRUE(Near(m_ship.m_velocity, 3.5, 4.5));
    EXPECT_TRUE(Near(m_ship.m_heading, 5, 5));
    EXPECT_FALSE(m_ship.m_hit);
    EXPECT_EQ(m_ship.m_hitPoints, 25);
    EXPECT_EQ(m_ship.m_boostTimer, 100);  // a longer boost is not shortened
    EXPECT_EQ(m_ship.m_invulnerableTimer, 15);
    EXPECT_EQ(m_ship.m_score, 7);
    EXPECT_EQ(m_ship.m_deaths, 2);
    EXPECT_EQ(m_ship.m_cooldown, 4);
    EXPECT_EQ(m_ship.m_weapon, &g_ringWeapon);
    EXPECT_TRUE(m_ship.m_bullets[5].m_active);

    // Without autopilot the target stays and nothing is drawn from the generator.
    m_ship.m_autopilot = false;
    m_ship.m_target = 4;
    m_ship.m_boostTimer = 3;
    const std::uint32_t state = g_randomGenerator.m_state;
    m_ship.Respawn(0, 0, 0, 0, 7.07, 0);
    EXPECT_EQ(m_ship.m_target, 4);
    EXPECT_EQ(g_randomGenerator.m_state, state);
    EXPECT_EQ(m_ship.m_boostTimer, 15);
}

TEST_F(ShipTest, UpdateMovesFirstThenLimitsTheSpeed)
{
    struct Case
    {
        double vx, vy;
        int boost;
        CVector2 position, velocity;
    };
    const Case cases[] = {
        {3, 4, 0, {103, 104}, {3, 4}},       // exactly 5 is kept
        {5.5, 0, 0, {105.5, 100}, {5, 0}},   // moves 5.5, then is cut
        {10.8, 0, 1, {110.8, 100}, {10.8, 0}},  // boosted: no limit in Update
    };
    for (const Case& c : cases) {
        Place(c.vx, c.vy, c.boost);
        m_ship.Update(kClient);
        EXPECT_TRUE(Near(m_ship.m_position, c.position.m_x, c.position.m_y, 1e-12)) << c.vx;
        EXPECT_TRUE(Near(m_ship.m_velocity, c.velocity.m_x, c.velocity.m_y, 1e-12)) << c.vx;
        EXPECT_EQ(m_ship.m_boostTimer, c.boost);  // the arena counts the timers down
    }
    m_ship.Respawn(639, 100, 3, 0, 7.07, 0);
    m_ship.Update(CRect(0, 0, 640, 480));
    EXPECT_TRUE(Near(m_ship.m_position, 2, 100));

    // Active bullets move with the ship's update; inactive ones stay.
    for (const int i : {0, 9}) {
        m_ship.m_bullets[i].m_position = CVector2(10, 10);
        m_ship.m_bullets[i].m_velocity = CVector2(1, 2);
        m_ship.m_bullets[i].m_life = 5;
    }
    m_ship.m_bullets[9].m_active = true;
    m_ship.Update(kClient);
    EXPECT_TRUE(Near(m_ship.m_bullets[0].m_position, 10, 10));
    EXPECT_TRUE(Near(m_ship.m_bullets[9].m_position, 11, 12));
    EXPECT_EQ(m_ship.m_bullets[9].m_life, 4);
}

TEST_F(ShipTest, ThrustLimitsBeforeItAccelerates)
{
    struct Case
    {
        double vx, vy;
        int boost, direction;
        CVector2 heading, velocity;
    };
    const Case cases[] = {
        {0, 0, 0, 1, {7.07, 0}, {1.0605, 0}},
        {0, 0, 0, -1, {7.07, 0}, {-1.0605, 0}},
        {6, 0, 0, 1, {0, 7.07}, {5, 1.0605}},        // cut to 5 first
        {9, 0, 40, 1, {7.07, 0}, {10.0605, 0}},      // under the boosted limit
        {10.8, 0, 40, 1, {7.07, 0}, {11.0605, 0}},   // cut to 10 first
    };
    for (const Case& c : cases) {
        Place(c.vx, c.vy, c.boost);
        m_ship.m_heading = c.heading;
        m_ship.Thrust(c.direction);
        EXPECT_TRUE(Near(m_ship.m_velocity, c.velocity.m_x, c.velocity.m_y, 1e-12)) << c.vx << " " << c.direction;
    }
}

TEST_F(ShipTest, TurnsSixDegreesKeepingTheVelocity)
{
    Place(1, 2, 0);
    m_ship.TurnRight();
    EXPECT_NEAR(m_ship.m_heading.Angle(), 6, 1e-9);
    m_ship.TurnLeft();
    m_ship.TurnLeft();
    EXPECT_NEAR(m_ship.m_heading.Angle(), -6, 1e-9);
    m_ship.TurnRight();
    for (int i = 0; i < 60; ++i)
        m_ship.TurnRight();
    EXPECT_TRUE(Near(m_ship.m_heading, 7.07, 0, 1e-6));
    EXPECT_NEAR(m_ship.m_heading.Length(), 7.07, 1e-9);
    EXPECT_TRUE(Near(m_ship.m_velocity, 1, 2));
}

TEST_F(ShipTest, CooldownCountsBelowZeroAndStopsAtTheIntFloor)
{
    Place(0, 0, 0);
    for (const int expected : {-1, -2, -3}) {
        m_ship.Update(kClient);
        EXPECT_EQ(m_ship.m_cooldown, expected);
    }
    m_ship.m_cooldown = INT_MIN + 1;
    m_ship.Update(kClient);
    EXPECT_EQ(m_ship.m_cooldown, INT_MIN);
    m_ship.Update(kClient);
    EXPECT_EQ(m_ship.m_cooldown, INT_MIN);
}
