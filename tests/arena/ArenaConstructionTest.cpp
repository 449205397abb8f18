// Building the arena: where the ships and the sentry start, the order of the random
// draws that place them, their colours, and who flies what.
#include <gtest/gtest.h>

#include "arena/ArenaTestKit.h"

using arenatest::ArenaTest;
using arenatest::GameState;
using testsupport::ReferenceRandom;

class ArenaConstruction : public ArenaTest
{};

TEST_F(ArenaConstruction, PlacesEverySlotFromTheDrawsInTheirOrder)
{
    // The six ship constructors draw x then y each; the arena then draws y, x and the
    // respawn's target pick for every slot, then the sentry's y and x. Nothing else draws.
    ReferenceRandom reference(kStartState, testsupport::g_pinnedSeconds);
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        reference.Range(1, 500);
        reference.Range(1, 500);
    }
    int xs[CArenaView::kShipSlots];
    int ys[CArenaView::kShipSlots];
    int targets[CArenaView::kShipSlots];
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        ys[i] = reference.Range(1, 500);
        xs[i] = reference.Range(1, 500);
        targets[i] = reference.Range(0, 6);
    }
    const int sentryY = reference.Range(1, 300);
    const int sentryX = reference.Range(1, 300);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);

    const COLORREF colours[CArenaView::kShipSlots] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00C8C8, 0xC8C800, 0xC800C8};
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        SCOPED_TRACE(i);
        const CShip& ship = Ship(i);
        EXPECT_EQ(ship.m_position.m_x, xs[i]);
        EXPECT_EQ(ship.m_position.m_y, ys[i]);
        EXPECT_GE(ship.m_position.m_x, 1);
        EXPECT_LE(ship.m_position.m_x, 500);
        EXPECT_GE(ship.m_position.m_y, 1);
        EXPECT_LE(ship.m_position.m_y, 500);
        EXPECT_EQ(ship.m_velocity.m_x, 0.0);
        EXPECT_EQ(ship.m_velocity.m_y, 0.0);
        EXPECT_EQ(ship.m_heading.m_x, 7.07);
        EXPECT_EQ(ship.m_heading.m_y, 0.0);
        EXPECT_EQ(ship.m_target, targets[i]);
        EXPECT_EQ(ship.m_index, i);
        EXPECT_EQ(ship.m_colour, colours[i]);
        EXPECT_EQ(ship.m_autopilot, i != 0);
        EXPECT_EQ(ship.m_hitPoints, 25);
        EXPECT_EQ(ship.m_invulnerableTimer, 15);
        EXPECT_EQ(ship.m_boostTimer, 15);
        EXPECT_FALSE(ship.m_hit);
        EXPECT_EQ(ship.m_score, 0);
        EXPECT_EQ(ship.m_deaths, 0);
        EXPECT_EQ(ship.m_weapon, &g_singleShotWeapon);
        EXPECT_EQ(ship.FindFreeBullet(), 0);
    }

    const CSentry& sentry = Sentry();
    EXPECT_EQ(sentry.m_position.m_x, sentryX);
    EXPECT_EQ(sentry.m_position.m_y, sentryY);
    EXPECT_GE(sentryX, 1);
    EXPECT_LE(sentryX, 300);
    EXPECT_GE(sentryY, 1);
    EXPECT_LE(sentryY, 300);
    EXPECT_EQ(sentry.m_heading.m_x, 0.0);
    EXPECT_EQ(sentry.m_heading.m_y, 10.0);
    EXPECT_EQ(sentry.m_velocity.m_x, 0.0);
    EXPECT_EQ(sentry.m_velocity.m_y, 0.0);
    EXPECT_EQ(sentry.m_hitPoints, 15);
    EXPECT_EQ(sentry.m_score, 0);
    EXPECT_EQ(sentry.m_deaths, 0);
    EXPECT_TRUE(sentry.m_autopilot);
    EXPECT_EQ(sentry.FindFreeBullet(), 0);

    for (const CPowerUp& powerUp : Arena().m_powerUps) {
        EXPECT_TRUE(powerUp.m_active);
        EXPECT_EQ(powerUp.m_position.m_x, 10.0);
        EXPECT_EQ(powerUp.m_position.m_y, 10.0);
        EXPECT_DOUBLE_EQ(powerUp.m_velocity.m_x, 0.02);
        EXPECT_DOUBLE_EQ(powerUp.m_velocity.m_y, 0.2);
        EXPECT_EQ(powerUp.m_heading.m_x, 5.0);
        EXPECT_EQ(powerUp.m_heading.m_y, 0.0);
        EXPECT_EQ(powerUp.m_life, 250);
    }
    for (const CExplosion& explosion : Arena().m_explosions) {
        for (const CBullet& particle : explosion.m_particles)
            EXPECT_FALSE(particle.m_active);
    }

    EXPECT_EQ(Arena().m_shipCount, 3);
    EXPECT_FALSE(Arena().m_paused);
}

TEST_F(ArenaConstruction, StartPositionsStayInTheirAreasForManyStates)
{
    for (std::uint32_t state = 1; state <= 40; ++state) {
        SCOPED_TRACE(state);
        g_randomGenerator.m_state = state * 7919u;
        const auto arena = std::make_unique<CArenaView>();
        for (const CShip& ship : arena->m_ships) {
            EXPECT_GE(ship.m_position.m_x, 1);
            EXPECT_LE(ship.m_position.m_x, 500);
            EXPECT_GE(ship.m_position.m_y, 1);
            EXPECT_LE(ship.m_position.m_y, 500);
            EXPECT_GE(ship.m_target, 0);
            EXPECT_LE(ship.m_target, 6);
        }
        EXPECT_GE(arena->m_sentry.m_position.m_x, 1);
        EXPECT_LE(arena->m_sentry.m_position.m_x, 300);
        EXPECT_GE(arena->m_sentry.m_position.m_y, 1);
        EXPECT_LE(arena->m_sentry.m_position.m_y, 300);
    }
}

TEST_F(ArenaConstruction, SameClockAndStateBuildTheSameArena)
{
    g_randomGenerator.m_state = kStartState;
    const auto first = std::make_unique<CArenaView>();
    const std::uint32_t stateAfterFirst = g_randomGenerator.m_state;

    g_randomGenerator.m_state = kStartState;
    const auto second = std::make_unique<CArenaView>();
    EXPECT_EQ(g_randomGenerator.m_state, stateAfterFirst);
    EXPECT_EQ(GameState(*first), GameState(*second));
    EXPECT_EQ(GameState(*first), GameState(Arena()));

    // The comparison sees the draws: another starting state gives another arena.
    g_randomGenerator.m_state = kStartState + 1;
    const auto other = std::make_unique<CArenaView>();
    EXPECT_NE(GameState(*first), GameState(*other));
}
