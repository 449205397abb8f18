// Explosions: five particles of debris started where a ship died, running 25 ticks.
#include <climits>

#include "combat/Explosion.h"
#include "support/TestSupport.h"

using testsupport::BodyAt;
using testsupport::Near;

using ExplosionTest = testsupport::PinnedRandomTest;

TEST_F(ExplosionTest, LifecycleRestartAndDrawing)
{
    const CRect client(0, 0, 800, 600);
    CExplosion explosion;
    testsupport::Surface fresh(100, 100), edge(20, 20);
    explosion.Draw(fresh.Dc());
    EXPECT_TRUE(explosion.m_active && fresh.Lit().empty());  // running, but with nothing to show
    explosion.Start(BodyAt({50, 50}));
    CBullet &moving = explosion.m_particles[0], &still = explosion.m_particles[1];
    std::tie(moving.m_velocity, moving.m_life) = std::pair(CVector2(1, 2), 5);
    std::tie(still.m_velocity, still.m_life) = std::pair(CVector2(), 25);
    for (int tick = 1; tick < 25; ++tick)
        explosion.Update(client);
    EXPECT_TRUE(!moving.m_active && Near(moving.m_position, 55, 60, 0));  // five moves, then gone
    EXPECT_TRUE(explosion.m_active && Near(still.m_position, 50, 50, 0));  // zero velocity: stays put
    explosion.Update(client);
    still.m_active = true;  // an ended explosion draws nothing, whatever it holds
    explosion.Draw(fresh.Dc());
    EXPECT_TRUE(!explosion.m_active && fresh.Lit().empty());

    std::tie(explosion.m_active, explosion.m_ticksLeft) = std::pair(true, 15);  // restarted while running
    explosion.Start(BodyAt({0.5, 10}));
    for (const CBullet& particle : explosion.m_particles)  // the old particles, spent or not, are discarded
        EXPECT_TRUE(particle.m_active && Near(particle.m_position, 0.5, 10, 0) && explosion.m_ticksLeft == 25);
    std::ranges::fill(std::span(explosion.m_particles).subspan(1), CBullet());
    explosion.Draw(edge.Dc());
    constexpr COLORREF D = 0x6496;  // the left arms truncate to column 0 too: trunc(-0.5) is 0
    EXPECT_EQ(edge.Lit(), (std::vector<testsupport::Pixel>{{0, 9, D}, {1, 9, D}, {0, 10, D}, {0, 11, D}, {1, 11, D}}));

    std::tie(explosion.m_active, explosion.m_ticksLeft) = std::pair(false, INT_MIN + 1);
    explosion.Update(client);
    explosion.Update(client);
    EXPECT_EQ(explosion.m_ticksLeft, INT_MIN);
}
