// Explosions: five particles of debris started where a ship died, running 25 ticks.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "combat/Explosion.h"
#include "support/TestSupport.h"

using testsupport::Near;
using testsupport::Surface;

namespace {

const CRect kClient(0, 0, 800, 600);
constexpr COLORREF kDebris = 0x6496;

CBody At(double x, double y)
{
    CBody body;
    body.m_position = CVector2(x, y);
    return body;
}

}  // namespace

class ExplosionTest : public testsupport::PinnedRandomTest
{
protected:
    CExplosion m_explosion;
};

TEST_F(ExplosionTest, FreshExplosionRunsButShowsNothing)
{
    EXPECT_TRUE(m_explosion.m_active);
    EXPECT_EQ(m_explosion.m_ticksLeft, 0);
    Surface surface(50, 50);
    m_explosion.Draw(surface.Dc());
    EXPECT_TRUE(surface.LitPixels().empty());
    m_explosion.Update(kClient);  // counts on below 0 without ending
    EXPECT_TRUE(m_explosion.m_active);
}

TEST_F(ExplosionTest, StartDrawsVelocitiesThenAnglesAndLives)
{
    testsupport::ReferenceRandom reference = Reference();
    CVector2 velocities[5];
    for (CVector2& v : velocities) {
        const int vx = reference.Range(1, 3) - 1;
        const int vy = reference.Range(1, 3) - 1;
        v = CVector2(vx, vy);
    }
    int lives[5];
    for (int k = 0; k < 5; ++k) {
        velocities[k].Rotate(reference.Range(50, 1000));
        lives[k] = reference.Range(5, 25);
    }

    m_explosion.m_active = false;
    m_explosion.Start(At(123.75, 45.5));
    EXPECT_TRUE(m_explosion.m_active);
    EXPECT_EQ(m_explosion.m_ticksLeft, 25);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);
    for (int k = 0; k < 5; ++k) {
        const CBullet& particle = m_explosion.m_particles[k];
        EXPECT_TRUE(particle.m_active);
        EXPECT_TRUE(Near(particle.m_position, 123.75, 45.5));
        EXPECT_TRUE(Near(particle.m_velocity, velocities[k].m_x, velocities[k].m_y)) << k;
        EXPECT_EQ(particle.m_life, lives[k]) << k;
    }
}

TEST_F(ExplosionTest, ParticlesMoveWrapAndExpire)
{
    m_explosion.Start(At(100, 100));
    const CVector2 velocities[] = {{1, 2}, {0, 0}, {2, 0}, {-1, 1}, {0, -2}};
    for (int k = 0; k < 5; ++k) {
        m_explosion.m_particles[k].m_velocity = velocities[k];
        m_explosion.m_particles[k].m_life = k == 0 ? 5 : 25;
    }
    m_explosion.m_particles[2].m_position = CVector2(799.5, 10);

    m_explosion.Update(kClient);
    EXPECT_TRUE(Near(m_explosion.m_particles[0].m_position, 101, 102));
    EXPECT_TRUE(Near(m_explosion.m_particles[2].m_position, 1.5, 10));  // in again at the left edge
    EXPECT_TRUE(Near(m_explosion.m_particles[3].m_position, 99, 101));
    for (int tick = 2; tick <= 5; ++tick)
        m_explosion.Update(kClient);
    EXPECT_FALSE(m_explosion.m_particles[0].m_active);
    for (int tick = 6; tick <= 24; ++tick)
        m_explosion.Update(kClient);
    EXPECT_TRUE(m_explosion.m_active);
    EXPECT_TRUE(m_explosion.m_particles[1].m_active);
    EXPECT_TRUE(Near(m_explosion.m_particles[1].m_position, 100, 100));  // zero velocity: stays put
    m_explosion.Update(kClient);
    EXPECT_FALSE(m_explosion.m_active);
    EXPECT_FALSE(m_explosion.m_particles[1].m_active);

    // An explosion that has ended neither moves nor draws what it still holds.
    m_explosion.m_particles[4].m_active = true;
    m_explosion.m_particles[4].m_life = 9;
    const CVector2 before = m_explosion.m_particles[4].m_position;
    m_explosion.Update(kClient);
    EXPECT_TRUE(Near(m_explosion.m_particles[4].m_position, before.m_x, before.m_y));
    Surface surface(800, 600);
    m_explosion.Draw(surface.Dc());
    EXPECT_TRUE(surface.LitPixels().empty());
}

TEST_F(ExplosionTest, EachParticleIsAFivePixelX)
{
    m_explosion.Start(At(50, 50));
    for (int k = 1; k < 5; ++k)
        m_explosion.m_particles[k].m_active = false;
    Surface surface(100, 100);
    m_explosion.Draw(surface.Dc());
    EXPECT_EQ(surface.LitPixels(), (std::vector<CPoint>{{49, 49}, {51, 49}, {50, 50}, {49, 51}, {51, 51}}));
    EXPECT_EQ(surface.Pixel(50, 50), kDebris);

    // At x = 0.5 the left arms truncate to column 0 as well: trunc(-0.5) is 0.
    m_explosion.m_particles[0].m_position = CVector2(0.5, 10);
    Surface edge(20, 20);
    m_explosion.Draw(edge.Dc());
    const std::vector<CPoint> atEdge = {{0, 9}, {1, 9}, {0, 10}, {0, 11}, {1, 11}};
    EXPECT_EQ(edge.LitPixels(), atEdge);
    for (const CPoint p : atEdge)
        EXPECT_EQ(edge.Pixel(p.x, p.y), kDebris);
}

TEST_F(ExplosionTest, RestartDiscardsTheOldParticles)
{
    m_explosion.Start(At(100, 100));
    for (int tick = 0; tick < 10; ++tick)
        m_explosion.Update(kClient);
    m_explosion.m_particles[3].m_active = false;
    m_explosion.Start(At(300, 200));
    EXPECT_EQ(m_explosion.m_ticksLeft, 25);
    for (const CBullet& particle : m_explosion.m_particles) {
        EXPECT_TRUE(particle.m_active);
        EXPECT_TRUE(Near(particle.m_position, 300, 200));
    }
}

TEST_F(ExplosionTest, IdleCountStopsAtTheIntFloor)
{
    m_explosion.m_active = false;
    m_explosion.m_ticksLeft = INT_MIN + 1;
    m_explosion.Update(kClient);
    EXPECT_EQ(m_explosion.m_ticksLeft, INT_MIN);
    m_explosion.Update(kClient);
    EXPECT_EQ(m_explosion.m_ticksLeft, INT_MIN);
    EXPECT_FALSE(m_explosion.m_active);
}
