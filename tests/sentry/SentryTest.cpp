// The sentry: placement, turning, its bullets, its autopilot step and its drawing.
#include "sentry/Sentry.h"
#include "support/TestSupport.h"

using testsupport::ActiveBullets;
using testsupport::BodyAt;
using testsupport::Near;

TEST(Sentry, PlaceTurnFireTrackAndDraw)
{
    const auto placed = [](CPoint heading) { CSentry s; s.Place(CPoint(100, 100), heading, 15); return s; };
    CSentry sentry = placed({0, 10});
    EXPECT_TRUE(Near(sentry.m_position, 100, 100, 0) && Near(sentry.m_heading, 0, 10, 0) && sentry.m_hitPoints == 15);
    for (const int slot : {4, -1, 10})  // slots outside 0..9 are ignored
        sentry.Fire(slot);
    EXPECT_EQ(ActiveBullets(sentry.m_bullets), 1);
    const CBullet& shot = sentry.m_bullets[4];
    EXPECT_TRUE(Near(shot.m_velocity, 0, 20, 0) && Near(shot.m_position, 100, 100, 0) && shot.m_life == 10);
    sentry.TurnRight();
    EXPECT_NEAR(sentry.m_heading.Angle(), 100, 1e-6);
    sentry.TurnLeft();
    EXPECT_NEAR(sentry.m_heading.Angle(), 90, 1e-6);

    // Barrel down; e is how many whole degrees it lies clockwise of the target, which is not led.
    // At 250 pixels below it stands, at 249 it fires; e = 3 and 4 fire, 5 and 357 turn, 180 stands.
    const std::tuple<const char*, CBody, int, double> cases[] = {
        {"250", BodyAt({100, 350}), 0, 90}, {"249", BodyAt({100, 349}, {100, 0}), 1, 90},
        {"3", BodyAt({106, 200}), 1, 90},   {"4", BodyAt({108, 200}), 1, 90},   {"5", BodyAt({109, 200}), 0, 85},
        {"357", BodyAt({95, 200}), 0, 95},  {"180", BodyAt({100, 0}), 0, 90}};
    for (const auto& [what, target, fired, angle] : cases) {
        CSentry tracking = placed({0, 10});
        tracking.TrackTarget(target);
        EXPECT_EQ(ActiveBullets(tracking.m_bullets), fired) << what;
        EXPECT_NEAR(tracking.m_heading.Angle(), angle, 1e-6) << what;
    }

    // Heading, then the barrel's end, the points 10 pixels ahead and behind, and A and B. The pen is restored.
    const CPoint examples[][6] = {{{0, 10}, {100, 120}, {100, 110}, {100, 90}, {99, 96}, {101, 96}},
                                  {{10, 0}, {120, 100}, {110, 100}, {90, 100}, {96, 100}, {96, 98}}};
    for (const auto& [heading, barrelEnd, front, back, a, b] : examples) {
        testsupport::Surface actual(200, 200), expected(200, 200);
        CPen* const pen = actual.Dc()->GetCurrentPen();
        placed(heading).Draw(actual.Dc());
        EXPECT_EQ(actual.Dc()->GetCurrentPen(), pen);
        expected.Path(RGB(255, 255, 255), {{100, 100}, barrelEnd, back});
        expected.Path(RGB(255, 255, 255), {front, a, back});
        expected.Path(RGB(255, 255, 255), {front, b, back});
        EXPECT_EQ(actual.Lit(), expected.Lit()) << heading.x;
    }
}
