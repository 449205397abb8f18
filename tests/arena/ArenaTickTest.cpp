// One game tick: pause, the order of its steps, the timers, the sentry's choice of
// target and the ships' autopilot dispatch.
#include <gtest/gtest.h>

#include "arena/ArenaTestKit.h"

using arenatest::Arm;
using arenatest::ArenaTest;
using arenatest::GameState;
using arenatest::kThrustStep;
using arenatest::Place;
using arenatest::Press;
using arenatest::QuietScene;
using testsupport::ReferenceRandom;

class ArenaTick : public ArenaTest
{
protected:
    // A quiet scene in which nothing but the test's own arrangement acts: every ship and
    // the sentry off autopilot unless the test turns one on.
    void Calm()
    {
        QuietScene(Arena());
        for (CShip& ship : Arena().m_ships)
            ship.m_autopilot = false;
        Sentry().m_autopilot = false;
    }
};

TEST_F(ArenaTick, PausedTickChangesNothingAndRequestsNoRepaint)
{
    Sentry().m_autopilot = false;
    Press(VK_UP);
    Press(VK_LEFT);
    Press(VK_RETURN);
    Press('L');
    Press('J');
    Arena().m_paused = true;
    Arena().m_invalidated = false;
    Arena().m_eraseRequested = false;
    const std::vector<double> before = GameState(Arena());
    const std::uint32_t generator = g_randomGenerator.m_state;

    Arena().OnTimer(1);
    Arena().OnTimer(1);

    EXPECT_EQ(GameState(Arena()), before);
    EXPECT_EQ(g_randomGenerator.m_state, generator);
    EXPECT_FALSE(Arena().m_invalidated);

    // The first tick after unpausing runs in full: the held keys act again and the
    // timers go on from where they stood.
    Arena().m_paused = false;
    Arena().OnTimer(1);
    EXPECT_TRUE(Arena().m_invalidated);
    EXPECT_TRUE(Arena().m_eraseRequested);
    EXPECT_NE(Ship(0).FindFreeBullet(), 0);
    EXPECT_NE(Sentry().FindFreeBullet(), 0);
    EXPECT_NE(Ship(0).m_velocity.m_x, 0.0);
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Ship(i).m_boostTimer, i < 3 ? 14 : 15);
        EXPECT_EQ(Ship(i).m_invulnerableTimer, i < 3 ? 14 : 15);
    }
}

TEST_F(ArenaTick, TimersCountDownOnlyForShipsInPlayAndStopAtZero)
{
    Calm();
    const int boosts[CArenaView::kShipSlots] = {7, 1, 0, 7, 7, 7};
    const int shields[CArenaView::kShipSlots] = {9, 1, 0, 9, 9, 9};
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        Ship(i).m_boostTimer = boosts[i];
        Ship(i).m_invulnerableTimer = shields[i];
    }

    Arena().OnTimer(1);
    const int boostsAfterOne[CArenaView::kShipSlots] = {6, 0, 0, 7, 7, 7};
    const int shieldsAfterOne[CArenaView::kShipSlots] = {8, 0, 0, 9, 9, 9};
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Ship(i).m_boostTimer, boostsAfterOne[i]);
        EXPECT_EQ(Ship(i).m_invulnerableTimer, shieldsAfterOne[i]);
    }

    Arena().OnTimer(1);
    const int boostsAfterTwo[CArenaView::kShipSlots] = {5, 0, 0, 7, 7, 7};
    const int shieldsAfterTwo[CArenaView::kShipSlots] = {7, 0, 0, 9, 9, 9};
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Ship(i).m_boostTimer, boostsAfterTwo[i]);
        EXPECT_EQ(Ship(i).m_invulnerableTimer, shieldsAfterTwo[i]);
    }
}

TEST_F(ArenaTick, ShipsMoveBeforeTheKeysThrust)
{
    Calm();
    Press(VK_UP);
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(0).m_position.m_x, 100.0);
    EXPECT_NEAR(Ship(0).m_velocity.m_x, kThrustStep, 1e-12);
    Arena().OnTimer(1);
    EXPECT_NEAR(Ship(0).m_position.m_x, 100.0 + kThrustStep, 1e-12);
    EXPECT_NEAR(Ship(0).m_velocity.m_x, 2 * kThrustStep, 1e-12);
}

TEST_F(ArenaTick, AShotFromTheKeysIsResolvedInTheSameTick)
{
    Calm();
    Ship(1).m_position = Ship(0).m_position;
    Press(VK_RETURN);
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_EQ(Ship(0).m_score, 1);
    EXPECT_EQ(Ship(0).FindFreeBullet(), 0);
}

TEST_F(ArenaTick, SentryBulletsMoveBeforeCombat)
{
    Calm();
    Arm(Sentry().m_bullets[0], 100.0, 280.0, 0.0, 20.0);
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(0).m_hitPoints, 24);
    EXPECT_EQ(Sentry().m_score, 1);
    EXPECT_FALSE(Sentry().m_bullets[0].m_active);
}

TEST_F(ArenaTick, ExplosionsMoveBeforeCombatStartsOne)
{
    Calm();
    Ship(1).m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 220.0, 300.0);
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(1).m_deaths, 1);
    const CExplosion& explosion = Arena().m_explosions[1];
    EXPECT_TRUE(explosion.m_active);
    EXPECT_EQ(explosion.m_ticksLeft, 25);
    for (const CBullet& particle : explosion.m_particles) {
        EXPECT_TRUE(particle.m_active);
        EXPECT_EQ(particle.m_position.m_x, 220.0);
        EXPECT_EQ(particle.m_position.m_y, 300.0);
    }
}

TEST_F(ArenaTick, PowerUpsDriftAfterCombat)
{
    Calm();
    // On the right edge of slot 0's box (outside it) and drifting into it: combat sees
    // it where it stood, and it moves in afterwards.
    Place(Arena().m_powerUps[0], 116.0, 300.0, -1.0, 0.0);
    Arena().OnTimer(1);
    EXPECT_TRUE(Arena().m_powerUps[0].m_active);
    EXPECT_EQ(Arena().m_powerUps[0].m_position.m_x, 115.0);
    Arena().OnTimer(1);
    EXPECT_FALSE(Arena().m_powerUps[0].m_active);
}

TEST_F(ArenaTick, TheSentryFiresAfterCombat)
{
    Calm();
    Sentry().m_autopilot = true;
    Sentry().m_position = CVector2(400.0, 100.0);
    // Slot 1 straight below the barrel, 100 pixels away; slot 0 on the sentry's own spot
    // but boosted, so the sentry passes it over.
    Ship(0).m_position = CVector2(400.0, 100.0);
    Ship(0).m_boostTimer = 5;
    Ship(1).m_position = CVector2(400.0, 200.0);
    Ship(2).m_boostTimer = 5;
    Arena().OnTimer(1);
    const CBullet& bullet = Sentry().m_bullets[0];
    ASSERT_TRUE(bullet.m_active);
    EXPECT_EQ(bullet.m_position.m_x, 400.0);
    EXPECT_EQ(bullet.m_position.m_y, 100.0);
    EXPECT_EQ(bullet.m_velocity.m_x, 0.0);
    EXPECT_EQ(bullet.m_velocity.m_y, 20.0);
    EXPECT_EQ(bullet.m_life, 10);
    EXPECT_EQ(Ship(0).m_hitPoints, 25);
}

TEST_F(ArenaTick, AutopilotsFireAfterCombat)
{
    Calm();
    Ship(1).m_autopilot = true;
    Ship(1).m_target = 2;
    Ship(0).m_position = Ship(1).m_position;
    Arena().OnTimer(1);
    const CBullet& bullet = Ship(1).m_bullets[0];
    ASSERT_TRUE(bullet.m_active);
    EXPECT_EQ(bullet.m_position.m_x, 220.0);
    EXPECT_NEAR(bullet.m_velocity.m_x, 21.21, 1e-12);
    EXPECT_EQ(bullet.m_life, 18);
    EXPECT_NEAR(Ship(1).m_velocity.m_x, kThrustStep, 1e-12);
    EXPECT_EQ(Ship(0).m_hitPoints, 25);
}

TEST_F(ArenaTick, TimersCountDownAfterCombatAndAutopilots)
{
    Calm();
    // Slot 1 still has one tick of boost when its autopilot thrusts, so the thrust
    // finds 8 pixels a tick under the boosted limit and adds to it.
    Ship(1).m_autopilot = true;
    Ship(1).m_target = 2;
    Ship(1).m_boostTimer = 1;
    Ship(1).m_velocity = CVector2(8.0, 0.0);
    // Slot 2 is invulnerable for this one tick: the bullet on it is let through.
    Ship(2).m_position = CVector2(600.0, 300.0);
    Ship(2).m_invulnerableTimer = 1;
    Arm(Ship(0).m_bullets[0], 600.0, 300.0);

    Arena().OnTimer(1);
    EXPECT_EQ(Ship(1).m_position.m_x, 228.0);
    EXPECT_NEAR(Ship(1).m_velocity.m_x, 8.0 + kThrustStep, 1e-12);
    EXPECT_EQ(Ship(1).m_boostTimer, 0);
    EXPECT_EQ(Ship(2).m_hitPoints, 25);
    EXPECT_TRUE(Ship(0).m_bullets[0].m_active);
    EXPECT_EQ(Ship(2).m_invulnerableTimer, 0);
}

TEST_F(ArenaTick, SlotsOutOfPlayFreeze)
{
    Calm();
    Ship(3).m_velocity = CVector2(2.0, 0.0);
    Ship(3).m_cooldown = 4;
    Arm(Ship(3).m_bullets[0], 460.0, 350.0, 3.0, 0.0, 10);
    CExplosion& explosion = Arena().m_explosions[3];
    explosion.m_active = true;
    explosion.m_ticksLeft = 20;
    Arm(explosion.m_particles[0], 460.0, 250.0, 1.0, 0.0, 10);

    Arena().OnTimer(1);
    EXPECT_EQ(Ship(3).m_position.m_x, 460.0);
    EXPECT_EQ(Ship(3).m_cooldown, 4);
    EXPECT_EQ(Ship(3).m_bullets[0].m_position.m_x, 460.0);
    EXPECT_EQ(Ship(3).m_bullets[0].m_life, 10);
    EXPECT_EQ(explosion.m_particles[0].m_position.m_x, 460.0);
    EXPECT_EQ(explosion.m_ticksLeft, 20);

    Arena().m_shipCount = 4;
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(3).m_position.m_x, 462.0);
    EXPECT_EQ(Ship(3).m_cooldown, 3);
    EXPECT_EQ(Ship(3).m_bullets[0].m_position.m_x, 463.0);
    EXPECT_EQ(Ship(3).m_bullets[0].m_life, 9);
    EXPECT_EQ(explosion.m_particles[0].m_position.m_x, 461.0);
    EXPECT_EQ(explosion.m_ticksLeft, 19);
}

// The sentry's choice shows in what it does: straight below its barrel it fires
// without turning; to its right it turns 5 degrees anticlockwise (to 85 degrees); to
// its left, 5 degrees clockwise (to 95); far below it neither fires nor turns.
class SentryTargetChoice : public ArenaTick
{
protected:
    void SetUp() override
    {
        ArenaTick::SetUp();
        Calm();
        Sentry().m_autopilot = true;
        Sentry().m_position = CVector2(200.0, 200.0);
    }

    double BarrelAngle() { return Sentry().m_heading.Angle(); }
    bool Fired() { return Sentry().m_bullets[0].m_active; }
};

TEST_F(SentryTargetChoice, TheRunningBestIsTruncated)
{
    // 100.7 first, then 100.3: the second is not below the truncated 100.
    Ship(0).m_position = CVector2(500.0, 500.0);
    Ship(0).m_boostTimer = 5;
    Ship(1).m_position = CVector2(200.0, 300.7);
    Ship(2).m_position = CVector2(300.3, 200.0);
    Arena().OnTimer(1);
    EXPECT_TRUE(Fired());
    EXPECT_NEAR(BarrelAngle(), 90.0, 1e-6);
}

TEST_F(SentryTargetChoice, ALaterShipBelowTheTruncatedBestWins)
{
    Ship(0).m_position = CVector2(500.0, 500.0);
    Ship(0).m_boostTimer = 5;
    Ship(1).m_position = CVector2(300.7, 200.0);
    Ship(2).m_position = CVector2(200.0, 299.9);
    Arena().OnTimer(1);
    EXPECT_TRUE(Fired());
    EXPECT_NEAR(BarrelAngle(), 90.0, 1e-6);
}

TEST_F(SentryTargetChoice, BoostedShipsArePassedOver)
{
    Ship(0).m_position = CVector2(200.0, 250.0);
    Ship(0).m_boostTimer = 5;
    Ship(1).m_position = CVector2(400.0, 200.0);
    Ship(2).m_position = CVector2(200.0, 230.0);
    Ship(2).m_boostTimer = 1;
    Arena().OnTimer(1);
    EXPECT_FALSE(Fired());
    EXPECT_NEAR(BarrelAngle(), 85.0, 1e-6);
}

TEST_F(SentryTargetChoice, AllBoostedTracksShipOne)
{
    Ship(0).m_position = CVector2(300.0, 200.0);
    Ship(1).m_position = CVector2(200.0, 260.0);
    Ship(2).m_position = CVector2(100.0, 200.0);
    for (int i = 0; i < 3; ++i)
        Ship(i).m_boostTimer = 15;
    Arena().OnTimer(1);
    EXPECT_FALSE(Fired());
    EXPECT_NEAR(BarrelAngle(), 85.0, 1e-6);
}

TEST_F(SentryTargetChoice, AllAtOrBeyondTheSearchRadiusTracksShipOne)
{
    Resize(3000, 3000);
    Sentry().m_position = CVector2(1500.0, 100.0);
    Ship(0).m_position = CVector2(2700.0, 100.0);  // right, 1200 away
    Ship(1).m_position = CVector2(1500.0, 1100.0); // below, exactly 1000 away
    Ship(2).m_position = CVector2(300.0, 100.0);   // left, 1200 away
    Arena().OnTimer(1);
    EXPECT_FALSE(Fired());
    EXPECT_NEAR(BarrelAngle(), 85.0, 1e-6);

    // Just inside the radius, slot 2 on the left is chosen.
    Sentry().m_heading = CVector2(0.0, 10.0);
    Ship(2).m_position = CVector2(501.0, 100.0);
    Arena().OnTimer(1);
    EXPECT_NEAR(BarrelAngle(), 95.0, 1e-6);
}

TEST_F(SentryTargetChoice, NoChoiceWhileTheSentryIsOnTheKeys)
{
    Sentry().m_autopilot = false;
    Ship(1).m_position = CVector2(200.0, 260.0);
    Arena().OnTimer(1);
    EXPECT_FALSE(Fired());
    EXPECT_NEAR(BarrelAngle(), 90.0, 1e-6);
}

// Only slot 1 flies on autopilot here, from (220, 300) facing right.
class AutopilotDispatch : public ArenaTick
{
protected:
    void SetUp() override
    {
        ArenaTick::SetUp();
        Calm();
        Ship(1).m_autopilot = true;
    }

    // The ship neither turned, thrust nor fired, and its target is the next pick.
    void ExpectRepickOnly(int target, int shipCount)
    {
        SCOPED_TRACE(testing::Message() << "target " << target << ", " << shipCount << " ships");
        Arena().m_shipCount = shipCount;
        Ship(1).m_target = target;
        ReferenceRandom reference = Reference();
        Arena().OnTimer(1);
        const int pick = reference.Range(0, 6);
        EXPECT_EQ(Ship(1).m_target, pick);
        EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
        EXPECT_EQ(Ship(1).m_heading.m_x, 7.07);
        EXPECT_EQ(Ship(1).m_heading.m_y, 0.0);
        EXPECT_EQ(Ship(1).m_velocity.m_x, 0.0);
        EXPECT_EQ(Ship(1).FindFreeBullet(), 0);
    }

    void ExpectShotAndThrust()
    {
        EXPECT_TRUE(Ship(1).m_bullets[0].m_active);
        EXPECT_NEAR(Ship(1).m_velocity.m_x, kThrustStep, 1e-12);
        EXPECT_EQ(Ship(1).m_velocity.m_y, 0.0);
    }
};

TEST_F(AutopilotDispatch, InvalidTargetsArePickedAgainWithoutSteering)
{
    ExpectRepickOnly(1, 3);   // itself
    ExpectRepickOnly(3, 3);   // out of play
    ExpectRepickOnly(5, 3);
    ExpectRepickOnly(2, 2);   // left play
    ExpectRepickOnly(-1, 3);  // below 0
    ExpectRepickOnly(7, 3);
}

TEST_F(AutopilotDispatch, AShipInPlayIsChased)
{
    Ship(1).m_target = 2;
    const std::uint32_t generator = g_randomGenerator.m_state;
    Arena().OnTimer(1);
    ExpectShotAndThrust();
    EXPECT_EQ(Ship(1).m_target, 2);
    EXPECT_EQ(g_randomGenerator.m_state, generator);

    // Slot 4 comes into play and becomes a valid target.
    QuietScene(Arena());
    Arena().m_shipCount = 5;
    Ship(1).m_target = 4;
    Arena().OnTimer(1);
    ExpectShotAndThrust();
    EXPECT_EQ(Ship(1).m_target, 4);
}

TEST_F(AutopilotDispatch, TargetSixIsTheSentry)
{
    Ship(1).m_target = 6;
    Sentry().m_position = CVector2(700.0, 300.0);
    Arena().OnTimer(1);
    ExpectShotAndThrust();
    EXPECT_EQ(Ship(1).m_target, 6);

    // The sentry straight above: the ship turns 5 degrees anticlockwise toward it.
    QuietScene(Arena());
    Sentry().m_position = CVector2(220.0, 100.0);
    Arena().OnTimer(1);
    EXPECT_NEAR(Ship(1).m_heading.Angle(), -5.0, 1e-6);
    EXPECT_FALSE(Ship(1).m_bullets[0].m_active);
    EXPECT_EQ(Ship(1).m_target, 6);
}

TEST_F(AutopilotDispatch, AShipOffAutopilotKeepsItsTarget)
{
    Ship(1).m_autopilot = false;
    Ship(1).m_target = 4;
    const std::uint32_t generator = g_randomGenerator.m_state;
    Arena().OnTimer(1);
    EXPECT_EQ(Ship(1).m_target, 4);
    EXPECT_EQ(g_randomGenerator.m_state, generator);
}
