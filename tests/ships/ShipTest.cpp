// Ship construction, respawn, motion with its speed limits, thrust, turning, cooldown, autopilot and drawing.
#include <climits>

#include "armament/Weapon.h"
#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::ActiveBullets;
using testsupport::BodyAt;
using testsupport::Near;
using testsupport::Surface;

class ShipTest : public testsupport::PinnedRandomTest
{
protected:
    static constexpr COLORREF kGreen = RGB(0, 255, 0);

    ShipTest() { m_ship.SetColour(kGreen); }

    // At (100, 100) with this velocity, heading and boost; no cooldown, every bullet slot free.
    CShip& Placed(CVector2 velocity, CVector2 heading = {7.07, 0}, int boost = 0)
    {
        m_ship.Respawn(100, 100, velocity.m_x, velocity.m_y, heading.m_x, heading.m_y);
        std::tie(m_ship.m_boostTimer, m_ship.m_cooldown) = std::tuple(boost, 0);
        std::ranges::fill(m_ship.m_bullets, CBullet());
        return m_ship;
    }

    // The ship Placed at rest: label at (96, 115); centre line P-N-T, sides N-A-T and N-B-T, with
    // N (107, 100), T (92, 100), A (87, 107), B (87, 91); then the brackets.
    static Surface& Expected(Surface& surface, const char* label, bool diagonal = false, bool straight = false)
    {
        surface.Dc()->TextOut(96, 115, label);
        surface.Path(kGreen, {{100, 100}, {107, 100}, {92, 100}});
        surface.Path(kGreen, {{107, 100}, {87, 107}, {92, 100}});
        surface.Path(kGreen, {{107, 100}, {87, 91}, {92, 100}});
        // Four diagonal strokes, then four straight ones.
        const CPoint ends[] = {{110, 114}, {114, 110}, {114, 90}, {110, 86}, {86, 90},  {90, 86}, {90, 114}, {86, 110},
                               {114, 90}, {114, 110}, {90, 86},  {110, 86}, {86, 110}, {86, 90}, {90, 114}, {110, 114}};
        for (int i = diagonal ? 0 : 8; i < (straight ? 16 : 8); i += 2)
            surface.Path(kGreen, {ends[i], ends[i + 1]});
        return surface;
    }

    CShip m_ship;
};

TEST_F(ShipTest, ConstructionAndRespawn)
{
    testsupport::ReferenceRandom reference = Reference();
    const CShip s;
    const int x = reference.Range(1, 500);  // x is drawn first
    EXPECT_TRUE(Near(s.m_position, x, reference.Range(1, 500), 0));
    EXPECT_TRUE(Near(s.m_velocity, 0, 0, 0) && Near(s.m_heading, 0, 2, 0));
    EXPECT_EQ(std::tuple(s.m_hitPoints, s.m_autopilot, s.m_hit, s.m_index, s.m_target, s.m_weapon, s.m_cooldown,
                         s.m_boostTimer, s.m_invulnerableTimer, s.m_score, s.m_deaths),
              std::tuple(25, true, false, -1, 0, &g_singleShotWeapon, 0, 0, 0, 0, 0));

    // A longer boost is not shortened; a target is picked only with autopilot.
    CShip& r = m_ship;
    std::tie(r.m_hit, r.m_hitPoints, r.m_boostTimer, r.m_invulnerableTimer) = std::tuple(true, 3, 100, 40);
    r.Respawn(0, 0, 0, 0, 5, 5);
    EXPECT_EQ(std::tuple(r.m_target, r.m_hit, r.m_hitPoints, r.m_boostTimer, r.m_invulnerableTimer),
              std::tuple(reference.Range(0, 6), false, 25, 100, 15));
    std::tie(r.m_autopilot, r.m_target, r.m_boostTimer) = std::tuple(false, 4, 3);
    const std::uint32_t state = g_randomGenerator.m_state;
    r.Respawn(0, 0, 0, 0, 5, 5);
    EXPECT_EQ(std::tuple(r.m_target, r.m_boostTimer, g_randomGenerator.m_state), std::tuple(4, 15, state));
}

TEST_F(ShipTest, MotionLimitsTurnsAndCooldown)
{
    // Update (direction 0) moves first and limits after; Thrust limits first and accelerates after.
    const CRect client(0, 0, 800, 600);
    const std::tuple<CVector2, int, int, CVector2> cases[] = {
        {{3, 4}, 0, 0, {3, 4}},         {{5.5, 0}, 0, 0, {5, 0}},      {{10.8, 0}, 1, 0, {10.8, 0}},
        {{0, 0}, 0, 1, {1.0605, 0}},    {{0, 0}, 0, -1, {-1.0605, 0}}, {{0, 6}, 0, 1, {1.0605, 5}},
        {{9, 0}, 40, 1, {10.0605, 0}}, {{10.8, 0}, 40, 1, {11.0605, 0}}};
    for (const auto& [velocity, boost, direction, after] : cases) {
        CShip& ship = Placed(velocity, {7.07, 0}, boost);
        direction == 0 ? ship.Update(client) : ship.Thrust(direction);
        const CVector2 moved = CVector2(100, 100) + velocity * (direction == 0 ? 1 : 0);
        EXPECT_TRUE(Near(ship.m_position, moved.m_x, moved.m_y, 1e-12)) << velocity.m_x << " " << direction;
        EXPECT_TRUE(Near(ship.m_velocity, after.m_x, after.m_y, 1e-12)) << velocity.m_x << " " << direction;
    }
    m_ship.TurnLeft();
    EXPECT_NEAR(m_ship.m_heading.Angle(), -6, 1e-9);
    for (int i = 0; i < 61; ++i)  // back to 0, then the sixty that go round; the velocity stays
        m_ship.TurnRight();
    EXPECT_TRUE(Near(m_ship.m_heading, 7.07, 0, 1e-6) && Near(m_ship.m_velocity, 11.0605, 0, 1e-12));

    // Wraps at the client's width; moves its active bullets; the cooldown counts on below 0.
    Placed({3, 0}).m_position = CVector2(639, 100);
    std::tie(m_ship.m_bullets[9].m_active, m_ship.m_bullets[9].m_life) = std::pair(true, 5);
    m_ship.Update(CRect(0, 0, 640, 480));
    EXPECT_TRUE(Near(m_ship.m_position, 2, 100, 0) && m_ship.m_bullets[9].m_life == 4 && m_ship.m_cooldown == -1);
    m_ship.m_cooldown = INT_MIN + 1;
    m_ship.Update(client);
    m_ship.Update(client);
    EXPECT_EQ(m_ship.m_cooldown, INT_MIN);
}

TEST_F(ShipTest, AutopilotSteersFiresAndThrusts)
{
    // Ahead fires and thrusts, as at diff 5 but not at 6; below turns clockwise, above anticlockwise;
    // straight behind stands; a moving target is led by its velocity.
    const std::tuple<CVector2, CBody, int, double, double> cases[] = {
        {{7.07, 0}, BodyAt({200, 100}), 1, 1.0605, 0}, {{7.07, 0}, BodyAt({200, 91}), 1, 1.0605, 0},
        {{7.07, 0}, BodyAt({200, 89}), 0, 0, -5},      {{7.07, 0}, BodyAt({100, 200}), 0, 0, 5},
        {{7.07, 0}, BodyAt({100, 0}), 0, 0, -5},       {{7.07, 0}, BodyAt({0, 100}), 0, 0, 0},
        {{0, 7.07}, BodyAt({96, 200}, {4, 0}), 1, 1.0605, 90}};
    for (const auto& [heading, target, fired, speed, angle] : cases) {
        Placed({0, 0}, heading).SteerToward(target);
        EXPECT_EQ(ActiveBullets(m_ship.m_bullets), fired) << target.m_position.m_x << "," << target.m_position.m_y;
        EXPECT_NEAR(m_ship.m_velocity.Length(), speed, 1e-12) << target.m_position.m_x << "," << target.m_position.m_y;
        EXPECT_NEAR(m_ship.m_heading.Angle(), angle, 1e-6) << target.m_position.m_x << "," << target.m_position.m_y;
        EXPECT_TRUE(!fired || Near(m_ship.m_bullets[0].m_velocity, heading.m_x * 3, heading.m_y * 3));  // before thrust
    }
    Placed({0, 0}).m_heading.Rotate(-2);  // diff 358: one turn clockwise, then it fires
    m_ship.SteerToward(BodyAt({200, 100}));
    EXPECT_EQ(std::pair(std::lround(m_ship.m_heading.Angle()), ActiveBullets(m_ship.m_bullets)), std::pair(3L, 0));
    m_ship.SteerToward(BodyAt({200, 100}));
    EXPECT_EQ(ActiveBullets(m_ship.m_bullets), 1);

    Placed({0, 0}).m_weapon = &g_starBurstWeapon;  // fires and thrusts every tick, twice when aimed
    m_ship.SteerToward(BodyAt({0, 100}));
    EXPECT_EQ(ActiveBullets(m_ship.m_bullets), 5);
    Placed({0, 0}).SteerToward(BodyAt({200, 100}));
    EXPECT_TRUE(ActiveBullets(m_ship.m_bullets) == 10 && Near(m_ship.m_velocity, 2.121, 0, 1e-12));
}

TEST_F(ShipTest, Drawing)
{
    const std::tuple<int, int, int, const char*> cases[] = {{25, 0, 0, "25"}, {31, 1, 0, "31"}, {2, 0, 150, "2"}};
    for (const auto& [hitPoints, invulnerable, boost, label] : cases) {
        Placed({0, 0}, {7.07, 0}, boost).m_hitPoints = hitPoints;
        m_ship.m_invulnerableTimer = invulnerable;
        Surface actual(200, 200), expected(200, 200);
        m_ship.Draw(actual.Dc());
        EXPECT_EQ(actual.Lit(), Expected(expected, label, invulnerable != 0, boost != 0).Lit()) << label;
    }
    // A hit shows one spark; bullets are drawn too, and the context keeps its pen and brush.
    std::tie(Placed({0, 0}).m_invulnerableTimer, m_ship.m_hit) = std::pair(0, true);
    std::tie(m_ship.m_bullets[3].m_active, m_ship.m_bullets[3].m_position) = std::pair(true, CVector2(150, 150));
    testsupport::ReferenceRandom reference = Reference();
    const int dx = reference.Range(0, 20) - 10, dy = reference.Range(0, 20) - 10;
    Surface actual(200, 200), expected(200, 200);
    const std::pair objects(actual.Dc()->GetCurrentPen(), actual.Dc()->GetCurrentBrush());
    m_ship.Draw(actual.Dc());
    EXPECT_EQ(std::pair(actual.Dc()->GetCurrentPen(), actual.Dc()->GetCurrentBrush()), objects);
    EXPECT_TRUE(!m_ship.m_hit && g_randomGenerator.m_state == reference.m_state);
    // Both outlined in the ship's pen; the bullet filled with the context's brush, the spark yellow.
    CPen green(PS_SOLID, 1, kGreen);
    CBrush yellow(0x32C8C8);
    Expected(expected, "25").Dc()->SelectObject(&green);
    expected.Dc()->Ellipse(148, 148, 152, 152);
    expected.Dc()->SelectObject(&yellow);
    expected.Dc()->Ellipse(dx + 94, dy + 94, dx + 106, dy + 106);
    EXPECT_EQ(actual.Lit(), expected.Lit());
}
