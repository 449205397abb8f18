// The sentry: placement, turning, its own bullets, its autopilot step and its drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "sentry/Sentry.h"
#include "support/TestSupport.h"

using testsupport::Near;
using testsupport::Surface;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

CBody At(double x, double y)
{
    CBody body;
    body.m_position = CVector2(x, y);
    return body;
}

// A body 100 pixels from (100, 100), in this direction in degrees.
CBody Toward(double degrees)
{
    const double radians = degrees * std::acos(-1.0) / 180.0;
    return At(100 + 100 * std::cos(radians), 100 + 100 * std::sin(radians));
}

int ActiveBullets(const CSentry& sentry)
{
    int active = 0;
    for (const CBullet& bullet : sentry.m_bullets)
        active += bullet.m_active ? 1 : 0;
    return active;
}

CSentry PlacedAt100(CPoint heading)
{
    CSentry sentry;
    sentry.Place(CPoint(100, 100), heading, 15);
    return sentry;
}

}  // namespace

TEST(Sentry, ConstructionPlacementAndTurns)
{
    CSentry sentry;
    EXPECT_TRUE(Near(sentry.m_heading, 0, 10));
    EXPECT_TRUE(Near(sentry.m_position, 0, 0));
    EXPECT_TRUE(Near(sentry.m_velocity, 0, 0));
    EXPECT_EQ(sentry.m_hitPoints, 20);
    EXPECT_EQ(sentry.m_score + sentry.m_deaths + ActiveBullets(sentry), 0);
    EXPECT_TRUE(sentry.m_autopilot);

    sentry.m_score = 7;
    sentry.m_deaths = 2;
    sentry.m_autopilot = false;
    sentry.m_bullets[3].m_active = true;
    sentry.Place(CPoint(50, 60), CPoint(10, 0), 15);
    EXPECT_TRUE(Near(sentry.m_position, 50, 60));
    EXPECT_TRUE(Near(sentry.m_heading, 10, 0));
    EXPECT_EQ(sentry.m_hitPoints, 15);
    EXPECT_EQ(sentry.m_score, 7);
    EXPECT_EQ(sentry.m_deaths, 2);
    EXPECT_FALSE(sentry.m_autopilot);
    EXPECT_TRUE(sentry.m_bullets[3].m_active);

    sentry.m_heading = CVector2(0, 10);
    sentry.TurnRight();
    EXPECT_NEAR(sentry.m_heading.Angle(), 100, 1e-6);
    EXPECT_NEAR(sentry.m_heading.Length(), 10, 1e-12);
    sentry.TurnLeft();
    sentry.TurnLeft();
    EXPECT_NEAR(sentry.m_heading.Angle(), 80, 1e-6);
    EXPECT_TRUE(Near(sentry.m_position, 50, 60));
}

TEST(Sentry, FireAndBullets)
{
    CSentry sentry;
    sentry.Place(CPoint(50, 60), CPoint(0, 10), 15);
    sentry.Fire(4);
    const CBullet& bullet = sentry.m_bullets[4];
    EXPECT_TRUE(bullet.m_active);
    EXPECT_TRUE(Near(bullet.m_velocity, 0, 20));
    EXPECT_TRUE(Near(bullet.m_position, 50, 60));
    EXPECT_EQ(bullet.m_life, 10);
    sentry.Fire(-1);  // slots outside 0..9 are ignored
    sentry.Fire(10);
    EXPECT_EQ(ActiveBullets(sentry), 1);

    // A small client area: the first move wraps; the tenth ends the bullet.
    const CRect client(0, 0, 40, 300);
    sentry.m_bullets[7].m_position = CVector2(1, 1);
    sentry.UpdateBullets(client);
    EXPECT_TRUE(Near(bullet.m_position, 10, 80));
    EXPECT_TRUE(Near(sentry.m_bullets[7].m_position, 1, 1));
    for (int tick = 2; tick <= 9; ++tick)
        sentry.UpdateBullets(client);
    EXPECT_TRUE(bullet.m_active);
    sentry.UpdateBullets(client);
    EXPECT_FALSE(bullet.m_active);
}

TEST(Sentry, TrackTarget)
{
    struct Case
    {
        const char* what;
        CBody target;
        int fired;
        double angle;
    };
    CBody moving = At(100, 349);
    moving.m_velocity = CVector2(100, 0);  // the sentry does not lead
    const Case cases[] = {
        {"below at 250", At(100, 350), 0, 90},
        {"below at 249", moving, 1, 90},
        {"e = 3", Toward(87), 1, 90},
        {"e = 4", Toward(85.1), 1, 90},
        {"e = 5", Toward(84.9), 0, 85},
        {"e = 357", Toward(93), 0, 95},
        {"e = 45", Toward(45), 0, 85},
        {"e = 180", At(100, 0), 0, 90},
    };
    for (const Case& c : cases) {
        CSentry sentry = PlacedAt100(CPoint(0, 10));
        sentry.TrackTarget(c.target);
        EXPECT_EQ(ActiveBullets(sentry), c.fired) << c.what;
        EXPECT_NEAR(sentry.m_heading.Angle(), c.angle, 1e-6) << c.what;
        EXPECT_TRUE(Near(sentry.m_position, 100, 100));
    }
    CSentry sentry = PlacedAt100(CPoint(0, 10));
    sentry.TrackTarget(At(100, 200));
    EXPECT_TRUE(Near(sentry.m_bullets[0].m_velocity, 0, 20));
    for (int tick = 0; tick < 3; ++tick)
        sentry.TrackTarget(At(100, 0));  // e = 180 for good: it stands
    EXPECT_TRUE(Near(sentry.m_heading, 0, 10));

    // On target with every bullet in flight: it turns 5 degrees anticlockwise.
    for (CBullet& bullet : sentry.m_bullets)
        bullet.m_active = true;
    sentry.TrackTarget(At(100, 200));
    EXPECT_NEAR(sentry.m_heading.Angle(), 85, 1e-6);
}

TEST(SentryDraw, WorkedExamples)
{
    struct Example
    {
        CPoint heading, barrelEnd, front, back, a, b;
    };
    const Example examples[] = {
        {{0, 10}, {100, 120}, {100, 110}, {100, 90}, {99, 96}, {101, 96}},
        {{10, 0}, {120, 100}, {110, 100}, {90, 100}, {96, 100}, {96, 98}},
    };
    for (const Example& e : examples) {
        CSentry sentry = PlacedAt100(e.heading);
        sentry.m_hitPoints = 3;
        sentry.m_bullets[0].m_active = true;  // its bullets are drawn by the frame, not here
        sentry.m_bullets[0].m_position = CVector2(30, 30);
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        Surface actual(200, 200);
        CPen* const previous = actual.Dc()->SelectObject(&red);
        sentry.Draw(actual.Dc());
        EXPECT_EQ(actual.Dc()->GetCurrentPen(), &red);
        actual.Dc()->SelectObject(previous);

        Surface expected(200, 200);
        expected.Path(kWhite, {{100, 100}, e.barrelEnd, e.back});
        expected.Path(kWhite, {e.front, e.a, e.back});
        expected.Path(kWhite, {e.front, e.b, e.back});
        EXPECT_TRUE(actual.Same(expected)) << e.heading.x << "," << e.heading.y;
        EXPECT_EQ(actual.Pixel(e.barrelEnd.x, e.barrelEnd.y), kWhite);
        EXPECT_FALSE(actual.Lit(e.back.x, e.back.y));
        EXPECT_EQ(actual.Pixel(e.b.x, e.b.y), kWhite);
    }
}
