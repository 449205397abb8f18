// Bodies' hit boxes and free-slot search; bullets' motion, life, wrap and drawing.
#include <gtest/gtest.h>

#include "armament/PowerUp.h"
#include "combat/Explosion.h"
#include "core/Bullet.h"
#include "sentry/Sentry.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Near;

namespace {

CBullet Fired(CVector2 position, CVector2 velocity, int life)
{
    CBullet bullet;
    bullet.m_position = position;
    bullet.m_velocity = velocity;
    bullet.m_life = life;
    bullet.m_active = true;
    return bullet;
}

const CRect kClient(0, 0, 800, 600);

}  // namespace

TEST(Bullet, LifeCountsMoves)
{
    const CBullet fresh;
    EXPECT_FALSE(fresh.m_active);
    EXPECT_EQ(fresh.m_life, 0);

    CBullet bullet = Fired({10, 10}, {1, 0}, 2);
    bullet.Update(kClient);
    EXPECT_TRUE(bullet.m_active);
    bullet.Update(kClient);
    EXPECT_FALSE(bullet.m_active);
    EXPECT_TRUE(Near(bullet.m_position, 12, 10));
    bullet.Update(kClient);
    EXPECT_TRUE(Near(bullet.m_position, 12, 10));

    // An inactive bullet neither moves nor counts nor draws.
    bullet = Fired({50, 50}, {3, 0}, 5);
    bullet.m_active = false;
    testsupport::Surface surface(100, 100);
    for (int i = 0; i < 3; ++i) {
        bullet.Update(kClient);
        bullet.Draw(surface.Dc());
    }
    EXPECT_TRUE(Near(bullet.m_position, 50, 50));
    EXPECT_EQ(bullet.m_life, 5);
    EXPECT_TRUE(surface.LitPixels().empty());
}

TEST(Bullet, WrapsWithTheClientSizeOfEachTick)
{
    struct Case
    {
        CVector2 from;
        CRect client;
        CVector2 to;
    };
    const Case cases[] = {
        {{799, 10}, kClient, {2, 10}},
        {{799, 10}, CRect(100, 50, 900, 650), {2, 10}},  // only the size counts
        {{650, 10}, CRect(0, 0, 400, 300), {253, 10}},   // the window just shrank
        {{2, 10}, CRect(), {5, 10}},                     // minimised: nothing is folded
    };
    for (const Case& c : cases) {
        CBullet bullet = Fired(c.from, {3, 0}, 18);
        bullet.Update(c.client);
        EXPECT_TRUE(Near(bullet.m_position, c.to.m_x, c.to.m_y)) << c.from.m_x;
    }
    CBullet bullet = Fired({10, 10}, {-20, 0}, 3);
    for (int i = 0; i < 3; ++i)
        bullet.Update(CRect());
    EXPECT_TRUE(Near(bullet.m_position, -50, 10));
    EXPECT_FALSE(bullet.m_active);  // lives run out all the same
}

TEST(Bullet, DrawsAFourPixelCircleInTheCurrentPenAndBrush)
{
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    testsupport::Surface surface(30, 30);
    surface.Dc()->SelectObject(&red);
    surface.Dc()->SelectObject(&blue);
    Fired({10.9, 20.1}, {}, 1).Draw(surface.Dc());

    // The box (8, 18)-(12, 22): columns 8..11, rows 18..21.
    const char* const rows[] = {".##.", "#oo#", "#oo#", ".##."};
    for (int y = 17; y <= 22; ++y) {
        for (int x = 7; x <= 12; ++x) {
            const char c = x >= 8 && x <= 11 && y >= 18 && y <= 21 ? rows[y - 18][x - 8] : '.';
            const COLORREF expected = c == '#' ? RGB(255, 0, 0) : c == 'o' ? RGB(0, 0, 255) : RGB(0, 0, 0);
            EXPECT_EQ(surface.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Body, BoundsAreTruncatedTowardZero)
{
    CBody body;
    body.m_position = CVector2(100.5, 50);
    EXPECT_EQ(body.GetBounds(), CRect(84, 34, 116, 66));
    EXPECT_FALSE(body.GetBounds().PtInRect(CPoint(116, 50)));
    EXPECT_TRUE(body.GetBounds().PtInRect(CPoint(84, 34)));
    body.m_position = CVector2(10.5, 5.5);
    EXPECT_EQ(body.GetBounds(), CRect(-5, -10, 26, 21));
}

class FindFreeBulletTest : public testsupport::PinnedRandomTest
{};

TEST_F(FindFreeBulletTest, EachClass)
{
    const CBullet bullet;
    const CPowerUp powerUp;
    const CExplosion explosion;
    for (const CBody* body : std::initializer_list<const CBody*>{&bullet, &powerUp, &explosion})
        EXPECT_EQ(body->FindFreeBullet(), -1);

    CShip ship;
    CSentry sentry;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(static_cast<const CBody&>(ship).FindFreeBullet(), i);
        EXPECT_EQ(static_cast<const CBody&>(sentry).FindFreeBullet(), i);
        ship.m_bullets[i].m_active = sentry.m_bullets[i].m_active = true;
    }
    EXPECT_EQ(ship.FindFreeBullet(), -1);
    EXPECT_EQ(sentry.FindFreeBullet(), -1);
    ship.m_bullets[2].m_active = ship.m_bullets[4].m_active = false;
    sentry.m_bullets[9].m_active = false;
    EXPECT_EQ(ship.FindFreeBullet(), 2);
    EXPECT_EQ(sentry.FindFreeBullet(), 9);
}
