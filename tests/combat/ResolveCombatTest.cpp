// The combat pass: hits and their boxes, kills and respawns, scores, power-up drops and
// pick-ups, and the order in which ships and bullets are tested.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "arena/ArenaTestKit.h"

using arenatest::Place;
using testsupport::Near;
using testsupport::ReferenceRandom;

namespace {

using Tally = std::array<int, 3>;  // hit points, score, deaths

template <class Body>
Tally Of(const Body& b) { return {b.m_hitPoints, b.m_score, b.m_deaths}; }

std::vector<double> Of(const CPowerUp& p)
{
    return {double(p.m_active), p.m_position.m_x, p.m_position.m_y, p.m_velocity.m_x,
            p.m_velocity.m_y,   p.m_heading.m_x,  p.m_heading.m_y,  double(p.m_life)};
}

}  // namespace

// Ships 0, 1 and 2 at rest at (100, 300), (220, 300) and (340, 300) with 25 hit points,
// slots 3 to 5 out of play, the sentry at (700, 500) with 15, nothing in flight, every
// score and death count 0.
class CombatPass : public arenatest::ArenaTest
{
protected:
    void SetUp() override { ArenaTest::SetUp(); Fresh(); }
    void Fresh()
    {
        Calm();
        for (CShip& ship : Arena().m_ships)
            ship.m_score = ship.m_deaths = 0;
        Sentry().m_score = Sentry().m_deaths = 0;
    }
    CPowerUp& PowerUp(int p) { return Arena().m_powerUps[p]; }
    // Arms bullet k of a ship, or of the sentry for shooter -1, at (x, y).
    void Shoot(int shooter, double x, double y, int k = 0)
    {
        arenatest::Arm(shooter < 0 ? Sentry().m_bullets[k] : Ship(shooter).m_bullets[k], x, y);
    }
    void Pass() { Arena().ResolveCombat(); }
    void ShootAndPass(int shooter, double x, double y) { Shoot(shooter, x, y); Pass(); }
    // Where the next death puts its ship: after the explosion's draws, y is drawn before x.
    CPoint NextRespawn()
    {
        const std::uint32_t state = g_randomGenerator.m_state;
        CExplosion().Start(Ship(0));
        const int y = RandomRange(1, 500);
        const CPoint place(RandomRange(1, 500), y);
        g_randomGenerator.m_state = state;
        return place;
    }
};

TEST_F(CombatPass, BoxesHoldTheirLeftAndTopEdgesOnly)
{
    // Ship 1 at (200.5, 300.5): box (184, 284) to (216, 316). Ship 2 at (10.5, 400): left
    // edge trunc(-5.5) = -5, and -5.9 truncates to -5. The sentry: (684, 484) to (716, 516).
    // Ship 3, out of play at (460, 300), is no target.
    const struct { double x, y; bool hits; } shots[] = {
        {184.0, 300.0, true}, {183.9, 300.0, false}, {215.9, 300.0, true}, {216.0, 300.0, false},
        {200.0, 284.0, true}, {200.0, 283.5, false}, {200.0, 315.9, true}, {200.0, 316.0, false},
        {-5.9, 400.0, true},  {-6.0, 400.0, false},  {684.0, 500.0, true}, {716.0, 500.0, false},
        {700.0, 484.0, true}, {700.0, 516.0, false}, {460.0, 300.0, false}};
    for (const auto& shot : shots) {
        Fresh();
        Ship(1).m_position = CVector2(200.5, 300.5);
        Ship(2).m_position = CVector2(10.5, 400.0);
        ShootAndPass(0, shot.x, shot.y);
        EXPECT_EQ(Ship(0).m_bullets[0].m_active, !shot.hits) << shot.x << ", " << shot.y;
    }
}

TEST_F(CombatPass, ShipsDieOnTheTwentyFifthHitAndTheSentryOnItsFifteenth)
{
    for (int hit = 1; hit <= 25; ++hit) {
        ShootAndPass(0, Ship(1).m_position.m_x, Ship(1).m_position.m_y);
        ASSERT_EQ(Ship(1).m_deaths, hit == 25 ? 1 : 0) << hit;
    }
    for (int hit = 1; hit <= 15; ++hit) {
        ShootAndPass(2, 700.0, 500.0);
        ASSERT_EQ(Sentry().m_deaths, hit == 15 ? 1 : 0) << hit;
    }
    EXPECT_EQ(Of(Ship(1)), (Tally{25, -5, 1}));
    EXPECT_EQ(Of(Sentry()), (Tally{15, -5, 1}));
    EXPECT_TRUE(Near(Sentry().m_heading, 10.0, 0.0));
}

TEST_F(CombatPass, ScoresOfEveryEventWithNoFloorAtZero)
{
    // Shooter and target (-1: the sentry), the target's hit points before the hit, and
    // {hit points, score, deaths} of both after it.
    const struct { int shooter, target, hitPoints; Tally shooterAfter, targetAfter; } events[] = {
        {0, 1, 25, {25, 1, 0}, {24, 0, 0}},    // a ship bullet hits a ship
        {0, 1, 1, {25, 1, 0}, {25, -5, 1}},    // and kills it
        {0, -1, 15, {25, 0, 0}, {14, 0, 0}},   // a ship bullet hits the sentry
        {0, -1, 1, {25, 10, 0}, {15, -5, 1}},  // and destroys it
        {-1, 1, 25, {15, 1, 0}, {24, 0, 0}},   // a sentry bullet hits a ship
        {-1, 1, 1, {15, 1, 0}, {25, -1, 1}},   // and kills it
        {0, -1, 0, {25, 10, 0}, {15, -5, 1}},  // a sentry found at 0 hit points goes down at the next hit
    };
    const auto tally = [this](int who) { return who < 0 ? Of(Sentry()) : Of(Ship(who)); };
    for (const auto& event : events) {
        Fresh();
        (event.target < 0 ? Sentry().m_hitPoints : Ship(event.target).m_hitPoints) = event.hitPoints;
        ShootAndPass(event.shooter, event.target < 0 ? 700.0 : 220.0, event.target < 0 ? 500.0 : 300.0);
        EXPECT_EQ(tally(event.shooter), event.shooterAfter) << &event - events;
        EXPECT_EQ(tally(event.target), event.targetAfter) << &event - events;
    }
}

TEST_F(CombatPass, AKillByAShipDropsIntoTheFirstFreeSlotOnlyAndOneBySentryDropsNothing)
{
    const auto killShip1 = [this](int shooter) {
        Ship(1).m_hitPoints = 1;
        ShootAndPass(shooter, Ship(1).m_position.m_x, Ship(1).m_position.m_y);
        ASSERT_EQ(Ship(1).m_deaths, 1);
    };
    const auto slots = [this] { return std::vector{Of(PowerUp(0)), Of(PowerUp(1)), Of(PowerUp(2)), Of(PowerUp(3))}; };
    for (int p = 0; p < 4; ++p)
        Place(PowerUp(p), 750.0, 50.0 + p);
    auto expected = slots();
    killShip1(0);
    EXPECT_EQ(slots(), expected);

    // Slots 1 and 3 free: slot 1 is filled at the ship's point, drifting at a fifth of half
    // its velocity (4, -2), facing its truncated heading (7.07, 0).
    Fresh();
    for (const int p : {0, 2})
        PowerUp(p).m_active = true;
    Ship(1).m_velocity = CVector2(4.0, -2.0);
    killShip1(0);
    expected[1] = {1, 220, 300, 0.4, -0.2, 7, 0, 250};
    expected[3][0] = 0;
    EXPECT_EQ(slots(), expected);

    // At (50.9, 60.2) with velocity (-3, 4) and heading (5, 5): half the velocity,
    // (-1.5, 2), is truncated to (-1, 2) before the drift scaling.
    Fresh();
    Ship(1).m_position = CVector2(50.9, 60.2);
    Ship(1).m_velocity = CVector2(-3.0, 4.0);
    Ship(1).m_heading = CVector2(5.0, 5.0);
    killShip1(0);
    EXPECT_EQ(Of(PowerUp(0)), (std::vector<double>{1, 50, 60, -0.2, 0.4, 5, 5, 250}));

    Fresh();
    killShip1(-1);
    for (int p = 0; p < 4; ++p)
        EXPECT_FALSE(PowerUp(p).m_active) << p;
}

TEST_F(CombatPass, TheDestroyedSentryShowersEveryFreeSlotAtItsPoint)
{
    for (const bool free : {true, false}) {
        Fresh();
        for (int p = 0; p < 4 && !free; ++p)
            Place(PowerUp(p), 750.0, 50.0 + p);
        const std::vector<double> before = Of(PowerUp(2));
        Sentry().m_position = CVector2(650.7, 120.9);
        Sentry().m_hitPoints = 1;
        ReferenceRandom reference = Reference();
        ShootAndPass(0, 650.7, 120.9);
        // Each free slot draws its drift, y first; then the new place, y first.
        for (int p = 0; p < 4 && free; ++p) {
            const int b = reference.Range(1, 5);
            const int a = reference.Range(1, 5);
            EXPECT_EQ(Of(PowerUp(p)), (std::vector<double>{1, 650, 120, a * 0.2, b * 0.2, 5, 0, 250})) << p;
        }
        EXPECT_EQ(Of(PowerUp(2)) == before, !free) << "slot 2 left as it was";
        const int y = reference.Range(1, 300);
        EXPECT_TRUE(Near(Sentry().m_position, reference.Range(1, 300), y));
        EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
        EXPECT_FALSE(Arena().m_explosions[0].m_active);
    }
}

TEST_F(CombatPass, APointSharedByShipsGoesToTheLowestIndexedOneNotInvulnerableNorTheShooter)
{
    // Ships 1 and 2 at (300, 300) and (310, 300) share the point (305, 300). A generator
    // state whose first pick-up kind is 4 (four hit points) shows who collected.
    std::uint32_t kindFour = 1;
    while (ReferenceRandom{kindFour, testsupport::g_pinnedSeconds}.Range(0, 9) != 4)
        ++kindFour;
    // What lies at the point (a bullet of ship 0, 1 or 3 (out of play), of the sentry (-1),
    // or a power-up (-2)), whether ship 1 is invulnerable, whether the sentry stands there too; then the
    // hit points of ship 1, whether it shows a hit, the hit points of ship 2 and of the sentry.
    // A bullet goes on past an invulnerable ship, and one that hits a ship hits the sentry too.
    const struct { int shooter; bool invulnerable, sentry; std::array<int, 4> after; } cases[] = {
        {0, false, false, {24, 1, 25, 15}}, {0, true, false, {25, 0, 24, 15}},  {0, false, true, {24, 1, 25, 14}},
        {0, true, true, {25, 0, 25, 14}},   {-1, false, false, {24, 1, 25, 15}}, {-1, true, false, {25, 0, 24, 15}},
        {-2, true, false, {29, 0, 25, 15}}, {1, false, false, {25, 0, 24, 15}}, {3, false, false, {25, 0, 25, 15}}};
    for (const auto& c : cases) {
        Fresh();
        g_randomGenerator.m_state = kindFour;
        Ship(1).m_position = CVector2(300.0, 300.0);
        Ship(2).m_position = CVector2(310.0, 300.0);
        Ship(1).m_invulnerableTimer = c.invulnerable ? 3 : 0;
        if (c.sentry)
            Sentry().m_position = CVector2(305.0, 300.0);
        if (c.shooter < -1)
            Place(PowerUp(0), 305.0, 300.0);
        else
            Shoot(c.shooter, 305.0, 300.0);
        Pass();
        EXPECT_EQ((std::array{Ship(1).m_hitPoints, int(Ship(1).m_hit), Ship(2).m_hitPoints, Sentry().m_hitPoints}),
                  c.after) << &c - cases;
        EXPECT_FALSE(PowerUp(0).m_active || Sentry().m_bullets[0].m_active);
    }
}

TEST_F(CombatPass, AfterTheSentryIsDestroyedItsOldPlaceStillTakesHits)
{
    Sentry().m_hitPoints = 1;
    Shoot(0, 700.0, 500.0, 1);
    ShootAndPass(0, 700.0, 500.0);
    EXPECT_EQ(Of(Sentry()), (Tally{14, -5, 1}));
    EXPECT_EQ(Ship(0).m_score, 10);
}

TEST_F(CombatPass, AKilledShipIsRespawnedAndExplodesInTheSamePass)
{
    for (const int shooter : {0, -1}) {
        SCOPED_TRACE(shooter);
        Fresh();
        CShip& ship = Ship(1);
        ship.m_velocity = CVector2(8.0, -4.0);
        ship.m_heading = CVector2(-7.07, 0.0);
        ship.m_hitPoints = 1;
        ship.m_boostTimer = shooter < 0 ? 40 : 3;
        const CPoint place = NextRespawn();
        ShootAndPass(shooter, 220.0, 300.0);
        EXPECT_EQ((std::array{ship.m_position.m_x, ship.m_position.m_y, ship.m_velocity.m_x, ship.m_velocity.m_y,
                              ship.m_heading.m_x, ship.m_heading.m_y}),
                  (std::array<double, 6>{double(place.x), double(place.y), 2, -1, 5, 5}));
        EXPECT_EQ(Of(ship), (Tally{25, shooter < 0 ? -1 : -5, 1}));
        EXPECT_EQ((std::array{ship.m_invulnerableTimer, ship.m_boostTimer, int(ship.m_hit)}),
                  (std::array{15, shooter < 0 ? 40 : 15, 0}));
        const CExplosion& explosion = Arena().m_explosions[1];
        EXPECT_TRUE(explosion.m_active && explosion.m_ticksLeft == 25);
        for (const CBullet& particle : explosion.m_particles)
            EXPECT_TRUE(particle.m_active && Near(particle.m_position, 220.0, 300.0));
        // The box is taken anew after a kill by a ship: what it dropped stays where it died.
        EXPECT_EQ(PowerUp(0).m_active, shooter >= 0);
    }
    // After a kill by the sentry the old box serves the rest of the shooter's turn: the
    // dead ship collects a power-up lying where it died.
    Fresh();
    Ship(1).m_hitPoints = 1;
    Place(PowerUp(0), 220.0, 300.0);
    ShootAndPass(-1, 220.0, 300.0);
    EXPECT_EQ(Ship(1).m_deaths, 1);
    EXPECT_FALSE(PowerUp(0).m_active);
}
