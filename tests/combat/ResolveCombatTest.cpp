// The combat pass: hits and their boxes, kills and respawns, scores, power-up drops and
// pick-ups, and the order in which ships and bullets are tested.
#include <gtest/gtest.h>

#include <cmath>

#include "arena/ArenaTestKit.h"

using arenatest::Arm;
using arenatest::ArenaTest;
using arenatest::Place;
using arenatest::QuietScene;
using testsupport::ReferenceRandom;

namespace {

// The draws of a ship's death after its drop: the explosion's twenty, then the new
// place, y before x. Answers the new place.
CPoint ReplayDeath(ReferenceRandom& reference)
{
    for (int k = 0; k < CExplosion::kParticleCount; ++k) {
        reference.Range(1, 3);
        reference.Range(1, 3);
    }
    for (int k = 0; k < CExplosion::kParticleCount; ++k) {
        reference.Range(50, 1000);
        reference.Range(5, 25);
    }
    const int y = reference.Range(1, 500);
    const int x = reference.Range(1, 500);
    return CPoint(x, y);
}

bool Near(CPoint a, double x, double y, double distance)
{
    return std::abs(a.x - x) < distance && std::abs(a.y - y) < distance;
}

}  // namespace

// Ships (all off autopilot) at rest along y = 300: slot 0 at x = 100, slot 1 at 220,
// slot 2 at 340, slots 3 to 5 out of play; the sentry at (700, 500) with 15 hit points;
// nothing in flight, no power-up active, nobody invulnerable.
class CombatPass : public ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        QuietScene(Arena());
        for (CShip& ship : Arena().m_ships)
            ship.m_autopilot = false;
    }

    CPowerUp& PowerUp(int slot) { return Arena().m_powerUps[slot]; }
    void Pass() { Arena().ResolveCombat(); }

    // Where a ship killed in the coming pass will be placed, when its death is the
    // pass's first use of the generator.
    CPoint NextRespawn()
    {
        ReferenceRandom reference = Reference();
        return ReplayDeath(reference);
    }
};

TEST_F(CombatPass, OwnBulletsNeverHit)
{
    for (int i = 0; i < 3; ++i) {
        for (CBullet& bullet : Ship(i).m_bullets)
            Arm(bullet, Ship(i).m_position.m_x, Ship(i).m_position.m_y);
    }
    Pass();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Ship(i).m_hitPoints, 25);
        EXPECT_EQ(Ship(i).m_score, 0);
        EXPECT_FALSE(Ship(i).m_hit);
        EXPECT_EQ(Ship(i).FindFreeBullet(), -1);
    }
}

TEST_F(CombatPass, AnInvulnerableShipLetsTheBulletFlyOn)
{
    // On to the sentry behind it.
    Ship(1).m_position = CVector2(700.0, 500.0);
    Ship(1).m_invulnerableTimer = 5;
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 25);
    EXPECT_FALSE(Ship(1).m_hit);
    EXPECT_EQ(Sentry().m_hitPoints, 14);
    EXPECT_FALSE(Ship(0).m_bullets[0].m_active);
    EXPECT_EQ(Ship(0).m_score, 0);

    // On to another ship whose box holds it too.
    QuietScene(Arena());
    Ship(1).m_position = CVector2(300.0, 300.0);
    Ship(1).m_invulnerableTimer = 5;
    Ship(2).m_position = CVector2(310.0, 300.0);
    Arm(Ship(0).m_bullets[0], 305.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 25);
    EXPECT_EQ(Ship(2).m_hitPoints, 24);
    EXPECT_EQ(Ship(0).m_score, 1);

    // Out into the open: it stays in flight.
    QuietScene(Arena());
    Ship(1).m_invulnerableTimer = 1;
    Arm(Ship(0).m_bullets[0], 220.0, 300.0);
    Arm(Sentry().m_bullets[0], 220.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 25);
    EXPECT_TRUE(Ship(0).m_bullets[0].m_active);
    EXPECT_TRUE(Sentry().m_bullets[0].m_active);
    EXPECT_EQ(Sentry().m_score, 0);
}

TEST_F(CombatPass, ABulletInAShipAndTheSentryHitsBoth)
{
    Ship(1).m_position = CVector2(700.0, 500.0);
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_TRUE(Ship(1).m_hit);
    EXPECT_EQ(Sentry().m_hitPoints, 14);
    EXPECT_EQ(Ship(0).m_score, 1);
    EXPECT_EQ(Sentry().m_score, 0);
    EXPECT_FALSE(Ship(0).m_bullets[0].m_active);
}

TEST_F(CombatPass, BoxesHoldTheirLeftAndTopEdgesOnly)
{
    // Slot 1 at (200.5, 300.5): box (184, 284) to (216, 316).
    Ship(1).m_position = CVector2(200.5, 300.5);
    const double shots[8][2] = {{184.0, 300.0}, {183.9, 300.0}, {215.9, 300.0}, {216.0, 300.0},
                                {200.0, 284.0}, {200.0, 283.5}, {200.0, 315.99}, {200.0, 316.0}};
    for (int k = 0; k < 8; ++k)
        Arm(Ship(0).m_bullets[k], shots[k][0], shots[k][1]);
    // Slot 2 at (10.5, 400): its left edge, trunc(-5.5), is -5; -5.9 becomes -5, inside.
    Ship(2).m_position = CVector2(10.5, 400.0);
    Arm(Ship(0).m_bullets[8], -5.9, 400.0);
    Arm(Ship(0).m_bullets[9], -6.0, 400.0);
    // The sentry at (700, 500): box (684, 484) to (716, 516).
    Arm(Ship(1).m_bullets[0], 684.0, 500.0);
    Arm(Ship(1).m_bullets[1], 716.0, 500.0);
    Arm(Ship(1).m_bullets[2], 700.0, 484.0);
    Arm(Ship(1).m_bullets[3], 700.0, 516.0);
    Pass();

    const bool stillFlying[10] = {false, true, false, true, false, true, false, true, false, true};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(Ship(0).m_bullets[k].m_active, stillFlying[k]) << "bullet " << k;
    EXPECT_EQ(Ship(1).m_hitPoints, 21);
    EXPECT_EQ(Ship(2).m_hitPoints, 24);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Ship(1).m_bullets[k].m_active, k % 2 == 1) << "bullet " << k;
    EXPECT_EQ(Sentry().m_hitPoints, 13);
}

TEST_F(CombatPass, TheTwentyFifthHitKillsAShip)
{
    for (const int volley : {10, 10, 4}) {
        for (int k = 0; k < volley; ++k)
            Arm(Ship(0).m_bullets[k], Ship(1).m_position.m_x, Ship(1).m_position.m_y);
        Pass();
    }
    EXPECT_EQ(Ship(1).m_hitPoints, 1);
    EXPECT_EQ(Ship(1).m_deaths, 0);
    EXPECT_EQ(Ship(0).m_score, 24);

    Arm(Ship(0).m_bullets[0], Ship(1).m_position.m_x, Ship(1).m_position.m_y);
    Pass();
    EXPECT_EQ(Ship(1).m_deaths, 1);
    EXPECT_EQ(Ship(1).m_hitPoints, 25);
    EXPECT_EQ(Ship(1).m_score, -5);
    EXPECT_EQ(Ship(0).m_score, 25);
}

TEST_F(CombatPass, TheFifteenthHitDestroysTheSentry)
{
    for (const int volley : {10, 4}) {
        for (int k = 0; k < volley; ++k)
            Arm(Ship(0).m_bullets[k], 700.0, 500.0);
        Pass();
    }
    EXPECT_EQ(Sentry().m_hitPoints, 1);
    EXPECT_EQ(Sentry().m_deaths, 0);
    EXPECT_EQ(Ship(0).m_score, 0);

    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Sentry().m_deaths, 1);
    EXPECT_EQ(Sentry().m_hitPoints, 15);
    EXPECT_EQ(Sentry().m_heading.m_x, 10.0);
    EXPECT_EQ(Sentry().m_heading.m_y, 0.0);
    EXPECT_EQ(Sentry().m_score, -5);
    EXPECT_EQ(Ship(0).m_score, 10);

    // A sentry found at 0 hit points or below goes down at the next hit.
    QuietScene(Arena());
    Sentry().m_hitPoints = 0;
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Sentry().m_deaths, 2);
    EXPECT_EQ(Sentry().m_hitPoints, 15);
}

TEST_F(CombatPass, ScoresForEveryEvent)
{
    // A ship bullet hits a ship.
    Arm(Ship(0).m_bullets[0], 220.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(0).m_score, 1);
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_TRUE(Ship(1).m_hit);
    EXPECT_EQ(Ship(1).m_score, 0);

    // That hit kills: the shooter still gets 1; the dead ship loses 5.
    Ship(2).m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 340.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(0).m_score, 2);
    EXPECT_EQ(Ship(2).m_score, -5);
    EXPECT_EQ(Ship(2).m_deaths, 1);

    // A ship bullet hits the sentry: nobody scores.
    QuietScene(Arena());
    Arm(Ship(1).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Sentry().m_hitPoints, 14);
    EXPECT_EQ(Ship(1).m_score, 0);
    EXPECT_EQ(Sentry().m_score, 0);

    // That hit destroys it: +10 to the shooter, -5 and a death to the sentry.
    Sentry().m_hitPoints = 1;
    Arm(Ship(1).m_bullets[0], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Ship(1).m_score, 10);
    EXPECT_EQ(Sentry().m_score, -5);
    EXPECT_EQ(Sentry().m_deaths, 1);

    // A sentry bullet hits a ship: +1 to the sentry.
    QuietScene(Arena());
    Arm(Sentry().m_bullets[0], 100.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(0).m_hitPoints, 24);
    EXPECT_TRUE(Ship(0).m_hit);
    EXPECT_EQ(Sentry().m_score, -4);
    EXPECT_FALSE(Sentry().m_bullets[0].m_active);

    // That hit kills: -1 and a death to the ship, still +1 to the sentry.
    Ship(0).m_hitPoints = 1;
    Arm(Sentry().m_bullets[0], 100.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(0).m_score, 1);
    EXPECT_EQ(Ship(0).m_deaths, 1);
    EXPECT_EQ(Sentry().m_score, -3);
    EXPECT_EQ(Sentry().m_deaths, 1);
    EXPECT_EQ(Ship(1).m_score, 10);
    EXPECT_EQ(Ship(2).m_score, -5);
}

TEST_F(CombatPass, AKillByAShipDropsIntoTheFirstFreeSlotOnly)
{
    const auto arrange = [this](std::initializer_list<int> freeSlots) {
        QuietScene(Arena());
        for (int p = 0; p < CArenaView::kPowerUpSlots; ++p)
            Place(PowerUp(p), 750.0, 50.0, 0.0, 0.0, 100 + p);
        for (const int p : freeSlots)
            PowerUp(p).m_active = false;
        Ship(1).m_hitPoints = 1;
        Ship(1).m_velocity = CVector2(6.0, -2.0);
        Arm(Ship(0).m_bullets[0], 220.0, 300.0);
    };
    const auto expectUntouched = [this](int p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(PowerUp(p).m_active);
        EXPECT_EQ(PowerUp(p).m_position.m_x, 750.0);
        EXPECT_EQ(PowerUp(p).m_life, 100 + p);
    };

    arrange({});
    ASSERT_FALSE(Near(NextRespawn(), 220.0, 300.0, 40.0));
    Pass();
    EXPECT_EQ(Ship(1).m_deaths, 1);
    for (int p = 0; p < 4; ++p)
        expectUntouched(p);

    arrange({1, 3});
    ASSERT_FALSE(Near(NextRespawn(), 220.0, 300.0, 40.0));
    Pass();
    const CPowerUp& dropped = PowerUp(1);
    EXPECT_TRUE(dropped.m_active);
    EXPECT_EQ(dropped.m_position.m_x, 220.0);
    EXPECT_EQ(dropped.m_position.m_y, 300.0);
    EXPECT_DOUBLE_EQ(dropped.m_velocity.m_x, 0.6);
    EXPECT_DOUBLE_EQ(dropped.m_velocity.m_y, -0.2);
    EXPECT_EQ(dropped.m_heading.m_x, 7.0);
    EXPECT_EQ(dropped.m_heading.m_y, 0.0);
    EXPECT_EQ(dropped.m_life, 250);
    EXPECT_FALSE(PowerUp(3).m_active);
    expectUntouched(0);
    expectUntouched(2);
}

TEST_F(CombatPass, TheDroppedPowerUpOfTheWorkedExample)
{
    // At (50.9, 60.2) with velocity (-3, 4) and heading (5, 5): half the velocity,
    // (-1.5, 2), is truncated to (-1, 2) before the drift scaling.
    Ship(1).m_position = CVector2(50.9, 60.2);
    Ship(1).m_velocity = CVector2(-3.0, 4.0);
    Ship(1).m_heading = CVector2(5.0, 5.0);
    Ship(1).m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 50.9, 60.2);
    ASSERT_FALSE(Near(NextRespawn(), 50.0, 60.0, 40.0));
    Pass();
    const CPowerUp& dropped = PowerUp(0);
    EXPECT_TRUE(dropped.m_active);
    EXPECT_EQ(dropped.m_position.m_x, 50.0);
    EXPECT_EQ(dropped.m_position.m_y, 60.0);
    EXPECT_DOUBLE_EQ(dropped.m_velocity.m_x, -0.2);
    EXPECT_DOUBLE_EQ(dropped.m_velocity.m_y, 0.4);
    EXPECT_EQ(dropped.m_heading.m_x, 5.0);
    EXPECT_EQ(dropped.m_heading.m_y, 5.0);
    EXPECT_EQ(dropped.m_life, 250);
    for (int p = 1; p < 4; ++p)
        EXPECT_FALSE(PowerUp(p).m_active) << p;
}

TEST_F(CombatPass, TheDestroyedSentryShowersEveryFreeSlot)
{
    Sentry().m_position = CVector2(650.7, 120.9);
    Sentry().m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 650.7, 120.9);
    ReferenceRandom reference = Reference();
    Pass();

    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(p);
        const int b = reference.Range(1, 5);
        const int a = reference.Range(1, 5);
        const CPowerUp& powerUp = PowerUp(p);
        EXPECT_TRUE(powerUp.m_active);
        EXPECT_EQ(powerUp.m_position.m_x, 650.0);
        EXPECT_EQ(powerUp.m_position.m_y, 120.0);
        EXPECT_DOUBLE_EQ(powerUp.m_velocity.m_x, a * 0.2);
        EXPECT_DOUBLE_EQ(powerUp.m_velocity.m_y, b * 0.2);
        EXPECT_EQ(powerUp.m_heading.m_x, 5.0);
        EXPECT_EQ(powerUp.m_heading.m_y, 0.0);
        EXPECT_EQ(powerUp.m_life, 250);
    }
    const int y = reference.Range(1, 300);
    const int x = reference.Range(1, 300);
    EXPECT_EQ(Sentry().m_position.m_x, x);
    EXPECT_EQ(Sentry().m_position.m_y, y);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
    // No explosion for the sentry.
    for (const CExplosion& explosion : Arena().m_explosions)
        EXPECT_FALSE(explosion.m_active);
}

TEST_F(CombatPass, TheShowerFillsOnlyFreeSlots)
{
    Place(PowerUp(1), 750.0, 50.0);
    Place(PowerUp(3), 760.0, 50.0);
    Sentry().m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    ReferenceRandom reference = Reference();
    Pass();
    for (const int p : {0, 2}) {
        const int b = reference.Range(1, 5);
        const int a = reference.Range(1, 5);
        EXPECT_TRUE(PowerUp(p).m_active);
        EXPECT_EQ(PowerUp(p).m_position.m_x, 700.0);
        EXPECT_DOUBLE_EQ(PowerUp(p).m_velocity.m_x, a * 0.2);
        EXPECT_DOUBLE_EQ(PowerUp(p).m_velocity.m_y, b * 0.2);
    }
    EXPECT_EQ(PowerUp(1).m_position.m_x, 750.0);
    EXPECT_EQ(PowerUp(3).m_position.m_x, 760.0);
    reference.Range(1, 300);
    reference.Range(1, 300);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);

    // With no slot free, nothing is spawned and only the new place is drawn.
    QuietScene(Arena());
    for (int p = 0; p < 4; ++p)
        Place(PowerUp(p), 750.0, 50.0 + p);
    Sentry().m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    reference = Reference();
    Pass();
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(PowerUp(p).m_position.m_x, 750.0);
        EXPECT_EQ(PowerUp(p).m_position.m_y, 50.0 + p);
    }
    const int y = reference.Range(1, 300);
    const int x = reference.Range(1, 300);
    EXPECT_EQ(Sentry().m_position.m_x, x);
    EXPECT_EQ(Sentry().m_position.m_y, y);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
}

TEST_F(CombatPass, AKillBySentryDropsNothingAndCostsOne)
{
    Ship(1).m_hitPoints = 1;
    Arm(Sentry().m_bullets[0], 220.0, 300.0);
    Pass();
    for (int p = 0; p < 4; ++p)
        EXPECT_FALSE(PowerUp(p).m_active) << p;
    EXPECT_EQ(Ship(1).m_score, -1);
    EXPECT_EQ(Ship(1).m_deaths, 1);
    EXPECT_EQ(Sentry().m_score, 1);
}

TEST_F(CombatPass, TheLowerIndexedShipWinsASharedPowerUpOrBullet)
{
    // A generator state whose first pick-up kind is 4: four more hit points.
    std::uint32_t state = 1;
    while (ReferenceRandom(state, testsupport::g_pinnedSeconds).Range(0, 9) != 4)
        ++state;
    g_randomGenerator.m_state = state;
    Ship(1).m_position = CVector2(300.0, 300.0);
    Ship(2).m_position = CVector2(310.0, 300.0);
    Place(PowerUp(0), 305.0, 300.0);
    Pass();
    EXPECT_FALSE(PowerUp(0).m_active);
    EXPECT_EQ(PowerUp(0).m_kind, 4);
    EXPECT_EQ(Ship(1).m_hitPoints, 29);
    EXPECT_EQ(Ship(2).m_hitPoints, 25);

    // A ship bullet in both boxes.
    QuietScene(Arena());
    Ship(1).m_position = CVector2(300.0, 300.0);
    Ship(2).m_position = CVector2(310.0, 300.0);
    Arm(Ship(0).m_bullets[0], 305.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_EQ(Ship(2).m_hitPoints, 25);

    // A bullet of slot 2 in the boxes of slots 0 and 1 hits slot 0.
    QuietScene(Arena());
    Ship(0).m_position = CVector2(300.0, 300.0);
    Ship(1).m_position = CVector2(310.0, 300.0);
    Arm(Ship(2).m_bullets[0], 305.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(0).m_hitPoints, 24);
    EXPECT_EQ(Ship(1).m_hitPoints, 25);

    // A sentry bullet in both boxes, then with the lower one invulnerable.
    QuietScene(Arena());
    Ship(1).m_position = CVector2(300.0, 300.0);
    Ship(2).m_position = CVector2(310.0, 300.0);
    Arm(Sentry().m_bullets[0], 305.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_EQ(Ship(2).m_hitPoints, 25);
    Ship(1).m_invulnerableTimer = 3;
    Arm(Sentry().m_bullets[0], 305.0, 300.0);
    Pass();
    EXPECT_EQ(Ship(1).m_hitPoints, 24);
    EXPECT_EQ(Ship(2).m_hitPoints, 24);
    EXPECT_EQ(Sentry().m_score, 2);
}

TEST_F(CombatPass, TheSentrysOldPlaceStillTakesHitsForTheRestOfThePass)
{
    Sentry().m_hitPoints = 1;
    Arm(Ship(0).m_bullets[0], 700.0, 500.0);
    Arm(Ship(0).m_bullets[1], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Sentry().m_deaths, 1);
    EXPECT_LE(Sentry().m_position.m_x, 300.0);
    EXPECT_EQ(Sentry().m_hitPoints, 14);
    EXPECT_FALSE(Ship(0).m_bullets[0].m_active);
    EXPECT_FALSE(Ship(0).m_bullets[1].m_active);
    EXPECT_EQ(Ship(0).m_score, 10);
}

TEST_F(CombatPass, ScoresGoNegative)
{
    for (int death = 0; death < 5; ++death) {
        Ship(1).m_position = CVector2(220.0, 300.0);
        Ship(1).m_hitPoints = 1;
        Ship(1).m_invulnerableTimer = 0;
        Arm(Sentry().m_bullets[0], 220.0, 300.0);
        Pass();
    }
    EXPECT_EQ(Ship(1).m_score, -5);
    EXPECT_EQ(Ship(1).m_deaths, 5);
    EXPECT_EQ(Sentry().m_score, 5);
}

TEST_F(CombatPass, AShipKilledByAShipIsRespawnedInTheSamePass)
{
    CShip& ship = Ship(1);
    ship.m_velocity = CVector2(8.0, -4.0);
    ship.m_heading = CVector2(-7.07, 0.0);
    ship.m_hitPoints = 1;
    ship.m_boostTimer = 3;
    ship.m_autopilot = true;
    ship.m_score = 2;
    ship.m_deaths = 4;
    ship.m_weapon = &g_spreadWeapon;
    Arm(Ship(0).m_bullets[0], 220.0, 300.0);
    ReferenceRandom reference = Reference();
    const CPoint place = ReplayDeath(reference);
    const int target = reference.Range(0, 6);
    ASSERT_FALSE(Near(place, 220.0, 300.0, 40.0));
    Pass();

    EXPECT_EQ(ship.m_position.m_x, place.x);
    EXPECT_EQ(ship.m_position.m_y, place.y);
    EXPECT_EQ(ship.m_velocity.m_x, 2.0);
    EXPECT_EQ(ship.m_velocity.m_y, -1.0);
    EXPECT_EQ(ship.m_heading.m_x, 5.0);
    EXPECT_EQ(ship.m_heading.m_y, 5.0);
    EXPECT_EQ(ship.m_hitPoints, 25);
    EXPECT_EQ(ship.m_invulnerableTimer, 15);
    EXPECT_EQ(ship.m_boostTimer, 15);
    EXPECT_FALSE(ship.m_hit);
    EXPECT_EQ(ship.m_target, target);
    EXPECT_EQ(ship.m_deaths, 5);
    EXPECT_EQ(ship.m_score, -3);
    EXPECT_EQ(ship.m_weapon, &g_spreadWeapon);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);

    const CExplosion& explosion = Arena().m_explosions[1];
    EXPECT_TRUE(explosion.m_active);
    EXPECT_EQ(explosion.m_ticksLeft, 25);
    for (const CBullet& particle : explosion.m_particles) {
        EXPECT_TRUE(particle.m_active);
        EXPECT_EQ(particle.m_position.m_x, 220.0);
        EXPECT_EQ(particle.m_position.m_y, 300.0);
    }
    // The rest of the pass tests the ship at its new place: the power-up it dropped
    // where it died is not collected by it.
    EXPECT_TRUE(PowerUp(0).m_active);
    EXPECT_EQ(PowerUp(0).m_position.m_x, 220.0);
}

TEST_F(CombatPass, AShipKilledByTheSentryIsRespawnedInTheSamePass)
{
    CShip& ship = Ship(1);
    ship.m_velocity = CVector2(-2.0, 6.0);
    ship.m_hitPoints = 1;
    ship.m_boostTimer = 40;
    Arm(Sentry().m_bullets[0], 220.0, 300.0);
    ReferenceRandom reference = Reference();
    const CPoint place = ReplayDeath(reference);
    Pass();

    EXPECT_EQ(ship.m_position.m_x, place.x);
    EXPECT_EQ(ship.m_position.m_y, place.y);
    EXPECT_EQ(ship.m_velocity.m_x, -0.5);
    EXPECT_EQ(ship.m_velocity.m_y, 1.5);
    EXPECT_EQ(ship.m_heading.m_x, 5.0);
    EXPECT_EQ(ship.m_heading.m_y, 5.0);
    EXPECT_EQ(ship.m_hitPoints, 25);
    EXPECT_EQ(ship.m_invulnerableTimer, 15);
    EXPECT_EQ(ship.m_boostTimer, 40);
    EXPECT_EQ(ship.m_deaths, 1);
    const CExplosion& explosion = Arena().m_explosions[1];
    EXPECT_TRUE(explosion.m_active);
    EXPECT_EQ(explosion.m_ticksLeft, 25);
    EXPECT_EQ(explosion.m_particles[0].m_position.m_x, 220.0);
    EXPECT_EQ(explosion.m_particles[0].m_position.m_y, 300.0);
}

TEST_F(CombatPass, AfterAKillBySentryTheShipsOldBoxServesTheRestOfTheShootersTurn)
{
    // The ship dies at (220, 300) in the first shooter's turn; a power-up at that spot
    // is then still inside the box the pass holds for it, and the dead ship collects it.
    Ship(1).m_hitPoints = 1;
    Arm(Sentry().m_bullets[0], 220.0, 300.0);
    Place(PowerUp(0), 220.0, 300.0);
    ASSERT_FALSE(Near(NextRespawn(), 220.0, 300.0, 40.0));
    Pass();
    EXPECT_EQ(Ship(1).m_deaths, 1);
    EXPECT_FALSE(PowerUp(0).m_active);
}

TEST_F(CombatPass, SlotsOutOfPlayAreLeftAlone)
{
    // Slot 3 stands at (460, 300) out of play.
    Arm(Ship(0).m_bullets[0], 460.0, 300.0);
    Arm(Sentry().m_bullets[0], 460.0, 300.0);
    Place(PowerUp(0), 460.0, 300.0);
    Arm(Ship(3).m_bullets[0], 100.0, 300.0);
    Arm(Ship(3).m_bullets[1], 700.0, 500.0);
    Pass();
    EXPECT_EQ(Ship(3).m_hitPoints, 25);
    EXPECT_TRUE(Ship(0).m_bullets[0].m_active);
    EXPECT_TRUE(Sentry().m_bullets[0].m_active);
    EXPECT_TRUE(PowerUp(0).m_active);
    EXPECT_EQ(Ship(0).m_hitPoints, 25);
    EXPECT_EQ(Sentry().m_hitPoints, 15);
    EXPECT_TRUE(Ship(3).m_bullets[0].m_active);
    EXPECT_TRUE(Ship(3).m_bullets[1].m_active);
}

TEST_F(CombatPass, PickUpIgnoresInvulnerabilityAndAutopilot)
{
    Ship(1).m_invulnerableTimer = 9;
    Ship(1).m_autopilot = true;
    Place(PowerUp(2), 220.0, 300.0);
    ReferenceRandom reference = Reference();
    Pass();
    EXPECT_FALSE(PowerUp(2).m_active);
    EXPECT_EQ(PowerUp(2).m_kind, reference.Range(0, 9));
}
