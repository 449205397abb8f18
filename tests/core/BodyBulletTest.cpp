// Bodies' hit boxes and free-slot search; bullets' motion, life, wrap and drawing.
#include <array>

#include "armament/PowerUp.h"
#include "combat/Explosion.h"
#include "sentry/Sentry.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;

using BodyTest = testsupport::PinnedRandomTest;

TEST_F(BodyTest, BulletsMoveWrapExpireAndDraw)
{
    CBullet bullet;
    const auto fire = [&bullet](CVector2 at, CVector2 velocity, int life) {
        std::tie(bullet.m_position, bullet.m_velocity, bullet.m_life) = std::tuple(at, velocity, life);
        bullet.m_active = true;
    };
    EXPECT_EQ(std::pair(bullet.m_life, bullet.m_active), std::pair(0, false));
    fire({10, 10}, {1, 0}, 2);
    for (int i = 0; i < 4; ++i)  // the second move ends it; after that it neither moves nor counts
        bullet.Update(CRect(0, 0, 800, 600));
    EXPECT_TRUE(Near(bullet.m_position, 12, 10, 0) && bullet.m_life == 0 && !bullet.m_active);
    // The client size is read every tick: a shrunk window folds at once, a minimised one not at all.
    const std::tuple<double, CRect, double> cases[] = {
        {799, CRect(0, 0, 800, 600), 2}, {799, CRect(100, 50, 900, 650), 2}, {650, CRect(0, 0, 400, 300), 253},
        {2, CRect(), 5}};
    for (const auto& [from, area, to] : cases) {
        fire({from, 10}, {3, 0}, 1);
        bullet.Update(area);
        EXPECT_TRUE(Near(bullet.m_position, to, 10, 0) && !bullet.m_active) << from;
    }
    // Drawn in the current pen and brush in the box (8, 18)-(12, 22); nothing once inactive.
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    testsupport::Surface surface(30, 30);
    surface.Dc()->SelectObject(&red);
    surface.Dc()->SelectObject(&blue);
    bullet.Draw(surface.Dc());
    fire({10.9, 20.1}, {}, 1);
    bullet.Draw(surface.Dc());
    constexpr COLORREF R = RGB(255, 0, 0), B = RGB(0, 0, 255);
    EXPECT_EQ(surface.Lit(), (std::vector<testsupport::Pixel>{{9, 18, R}, {10, 18, R}, {8, 19, R}, {9, 19, B},
                                                              {10, 19, B}, {11, 19, R}, {8, 20, R}, {9, 20, B},
                                                              {10, 20, B}, {11, 20, R}, {9, 21, R}, {10, 21, R}}));

    // Hit boxes and free bullet slots.
    const CBody body = testsupport::BodyAt({100.5, 50});
    EXPECT_EQ(body.GetBounds(), CRect(84, 34, 116, 66));
    EXPECT_TRUE(body.GetBounds().PtInRect(CPoint(84, 34)) && !body.GetBounds().PtInRect(CPoint(116, 50)));
    EXPECT_EQ(testsupport::BodyAt({10.5, 5.5}).GetBounds(), CRect(-5, -10, 26, 21));  // toward zero, not down
    CShip ship;
    CSentry sentry;
    for (int i = 0; i < 10; ++i)
        std::tie(ship.m_bullets[i].m_active, sentry.m_bullets[i].m_active) = std::pair(i != 2 && i != 4, i != 9);
    const CBody &shipBody = ship, &sentryBody = sentry;
    EXPECT_EQ(std::pair(shipBody.FindFreeBullet(), sentryBody.FindFreeBullet()), std::pair(2, 9));
    ship.m_bullets[2].m_active = ship.m_bullets[4].m_active = sentry.m_bullets[9].m_active = true;
    EXPECT_EQ(std::pair(shipBody.FindFreeBullet(), sentryBody.FindFreeBullet()), std::pair(-1, -1));
    EXPECT_EQ((std::array{CBullet().FindFreeBullet(), CPowerUp().FindFreeBullet(), CExplosion().FindFreeBullet()}),
              (std::array{-1, -1, -1}));
}
