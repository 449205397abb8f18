// The autopilot turns 5 degrees a tick toward where its target will be next tick, and
// fires and thrusts once its heading lies 0 to 5 whole degrees clockwise of that point.
#include <gtest/gtest.h>

#include <cmath>

#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

namespace {

CBody Target(double x, double y, double vx = 0, double vy = 0)
{
    CBody target;
    target.m_position = CVector2(x, y);
    target.m_velocity = CVector2(vx, vy);
    return target;
}

// A still target 100 pixels from (100, 100), in this direction in degrees.
CBody TargetToward(double degrees)
{
    const double radians = degrees * std::acos(-1.0) / 180.0;
    return Target(100 + 100 * std::cos(radians), 100 + 100 * std::sin(radians));
}

}  // namespace

class ShipAutopilotTest : public testsupport::PinnedRandomTest
{
protected:
    ShipAutopilotTest() { Reset(CVector2(7.07, 0)); }

    void Reset(const CVector2& heading)
    {
        m_ship.Respawn(100, 100, 0, 0, heading.m_x, heading.m_y);
        m_ship.m_cooldown = 0;
        for (CBullet& bullet : m_ship.m_bullets)
            bullet.m_active = false;
    }

    int Fired() const
    {
        int active = 0;
        for (const CBullet& bullet : m_ship.m_bullets)
            active += bullet.m_active ? 1 : 0;
        return active;
    }

    // Fired nothing, did not thrust, heading turned to this angle.
    void ExpectTurnedTo(double angle, const char* what)
    {
        EXPECT_EQ(Fired(), 0) << what;
        EXPECT_EQ(m_ship.m_velocity.Length(), 0) << what;
        EXPECT_NEAR(m_ship.m_heading.Angle(), angle, 1e-6) << what;
    }

    CShip m_ship;
};

TEST_F(ShipAutopilotTest, TargetAheadFiresThenThrusts)
{
    m_ship.SteerToward(Target(200, 100));
    ASSERT_EQ(Fired(), 1);
    // The bullet took the velocity from before the thrust.
    EXPECT_DOUBLE_EQ(m_ship.m_bullets[0].m_velocity.m_x, 21.21);
    EXPECT_DOUBLE_EQ(m_ship.m_velocity.m_x, 1.0605);
    EXPECT_EQ(m_ship.m_heading.m_x, 7.07);

    // The weapon refuses during a cooldown; the ship thrusts all the same.
    Reset(CVector2(7.07, 0));
    m_ship.m_cooldown = 3;
    m_ship.SteerToward(Target(200, 100));
    EXPECT_EQ(Fired(), 0);
    EXPECT_DOUBLE_EQ(m_ship.m_velocity.m_x, 1.0605);
}

TEST_F(ShipAutopilotTest, TurnsTheShorterWay)
{
    struct Case
    {
        const char* what;
        CBody target;
        double angle;
    };
    const Case cases[] = {
        {"below, diff 270", Target(100, 200), 5},
        {"above, diff 90", Target(100, 0), -5},
        {"behind, diff 180", Target(0, 100), 0},
        {"diff 6", TargetToward(-6.1), -5},
        {"diff 359", TargetToward(0.1), 5},
    };
    for (const Case& c : cases) {
        Reset(CVector2(7.07, 0));
        m_ship.SteerToward(c.target);
        ExpectTurnedTo(c.angle, c.what);
    }
    Reset(CVector2(7.07, 0));
    m_ship.SteerToward(TargetToward(-5.9));  // diff 5: inside the window
    EXPECT_EQ(Fired(), 1);
}

TEST_F(ShipAutopilotTest, TurnsUntilAimedThenFires)
{
    int tick = 0;
    for (; tick < 25 && Fired() == 0; ++tick) {
        const double before = m_ship.m_heading.Angle();
        m_ship.SteerToward(Target(100, 200));
        if (Fired() == 0) {
            EXPECT_NEAR(m_ship.m_heading.Angle() - before, 5, 1e-6) << "tick " << tick;
        }
    }
    EXPECT_GE(tick, 19);
    EXPECT_LE(tick, 20);
    const double offset = m_ship.m_heading.Angle() - 90;  // clockwise of the target
    EXPECT_TRUE(offset > -1e-6 && offset < 6) << offset;

    // Two degrees anticlockwise of the aim: one turn clockwise, then it fires.
    Reset(CVector2(7.07, 0));
    m_ship.m_heading.Rotate(-2);
    m_ship.SteerToward(Target(200, 100));
    ExpectTurnedTo(3, "diff 358");
    m_ship.SteerToward(Target(200, 100));
    EXPECT_EQ(Fired(), 1);
}

TEST_F(ShipAutopilotTest, LeadsAMovingTarget)
{
    // Facing down at a target 4 pixels left of straight below, moving 4 pixels right.
    Reset(CVector2(0, 7.07));
    m_ship.SteerToward(Target(96, 200, 4, 0));
    EXPECT_EQ(Fired(), 1);
    // Led to straight above: diff exactly 180, so it neither turns nor fires.
    Reset(CVector2(0, 7.07));
    m_ship.SteerToward(Target(96, 0, 4, 0));
    ExpectTurnedTo(90, "led to 180");
    EXPECT_EQ(m_ship.m_heading.m_x, 0);
}

TEST_F(ShipAutopilotTest, AimedWithoutAFreeSlotTurnsAway)
{
    for (CBullet& bullet : m_ship.m_bullets)
        bullet.m_active = true;
    m_ship.SteerToward(Target(200, 100));
    EXPECT_EQ(m_ship.m_velocity.Length(), 0);
    EXPECT_NEAR(m_ship.m_heading.Angle(), -5, 1e-6);
}

TEST_F(ShipAutopilotTest, StarBurstFiresEveryTickAndTwiceWhenAimed)
{
    m_ship.m_weapon = &g_starBurstWeapon;
    m_ship.SteerToward(Target(0, 100));  // behind: no turn, but the burst still goes
    EXPECT_EQ(Fired(), 5);
    EXPECT_DOUBLE_EQ(m_ship.m_velocity.m_x, 1.0605);

    Reset(CVector2(7.07, 0));
    m_ship.SteerToward(Target(200, 100));
    EXPECT_EQ(Fired(), 10);
    EXPECT_DOUBLE_EQ(m_ship.m_velocity.m_x, 2.121);
}

TEST_F(ShipAutopilotTest, PickTargetDrawsZeroToSix)
{
    testsupport::ReferenceRandom reference = Reference();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(m_ship.PickTarget(), reference.Range(0, 6));
}
