// The ship's picture, checked pixel for pixel against the strokes it is made of.
#include <gtest/gtest.h>

#include "ships/Ship.h"
#include "support/TestSupport.h"

using testsupport::Surface;

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kSpark = 0x32C8C8;

// White text on a blue cell, so that the label's cell shows where it starts.
Surface& PrepareText(Surface& surface)
{
    surface.Dc()->SetTextColor(RGB(255, 255, 255));
    surface.Dc()->SetBkColor(RGB(0, 0, 255));
    return surface;
}

// A ship at (100, 100) with heading (7.07, 0): label at (96, 115); centre line P-N-T, then
// N-A-T and N-B, B-T, with N (107, 100), T (92, 100), A (87, 107), B (87, 91); brackets.
void DrawExpected(Surface& surface, const char* label, bool diagonal, bool straight)
{
    surface.Dc()->TextOut(96, 115, label);
    surface.Path(kGreen, {{100, 100}, {107, 100}, {92, 100}});
    surface.Path(kGreen, {{107, 100}, {87, 107}, {92, 100}});
    surface.Path(kGreen, {{107, 100}, {87, 91}});
    surface.Path(kGreen, {{87, 91}, {92, 100}});
    if (diagonal) {
        surface.Path(kGreen, {{110, 114}, {114, 110}});
        surface.Path(kGreen, {{114, 90}, {110, 86}});
        surface.Path(kGreen, {{86, 90}, {90, 86}});
        surface.Path(kGreen, {{90, 114}, {86, 110}});
    }
    if (straight) {
        surface.Path(kGreen, {{114, 90}, {114, 110}});
        surface.Path(kGreen, {{90, 86}, {110, 86}});
        surface.Path(kGreen, {{86, 110}, {86, 90}});
        surface.Path(kGreen, {{90, 114}, {110, 114}});
    }
}

}  // namespace

class ShipDrawTest : public testsupport::PinnedRandomTest
{
protected:
    ShipDrawTest()
    {
        m_ship.SetColour(kGreen);
        m_ship.Respawn(100, 100, 0, 0, 7.07, 0);
        m_ship.m_boostTimer = m_ship.m_invulnerableTimer = 0;
        PrepareText(m_actual);
    }

    CShip m_ship;
    Surface m_actual{200, 200};
};

TEST_F(ShipDrawTest, WorkedExample)
{
    m_ship.Draw(m_actual.Dc());
    Surface expected(200, 200);
    DrawExpected(PrepareText(expected), "25", false, false);
    EXPECT_TRUE(m_actual.Same(expected));

    // Start pixels are drawn, the end pixel of each path's last line is not.
    for (const CPoint p : {CPoint(100, 100), CPoint(107, 100), CPoint(93, 100), CPoint(87, 107), CPoint(87, 91)})
        EXPECT_EQ(m_actual.Pixel(p.x, p.y), kGreen) << p.x << "," << p.y;
    for (const CPoint p : {CPoint(92, 100), CPoint(108, 100), CPoint(100, 99), CPoint(100, 101), CPoint(86, 107)})
        EXPECT_EQ(m_actual.Pixel(p.x, p.y), kBlack) << p.x << "," << p.y;
    // The label's cell starts at (96, 115).
    EXPECT_EQ(m_actual.Pixel(95, 115), kBlack);
    EXPECT_EQ(m_actual.Pixel(96, 114), kBlack);
    EXPECT_NE(m_actual.Pixel(96, 115), kBlack);
}

TEST_F(ShipDrawTest, LabelAndBrackets)
{
    struct Case
    {
        int hitPoints, invulnerable, boost;
        const char* label;
    };
    for (const Case& c : {Case{31, 1, 0, "31"}, Case{25, 0, 7, "25"}, Case{2, 3, 150, "2"}}) {
        m_ship.m_hitPoints = c.hitPoints;
        m_ship.m_invulnerableTimer = c.invulnerable;
        m_ship.m_boostTimer = c.boost;
        Surface actual(200, 200);
        m_ship.Draw(PrepareText(actual).Dc());
        Surface expected(200, 200);
        DrawExpected(PrepareText(expected), c.label, c.invulnerable != 0, c.boost != 0);
        EXPECT_TRUE(actual.Same(expected)) << c.label;
    }
}

TEST_F(ShipDrawTest, HitSparkOnceThenCleared)
{
    m_ship.m_hit = true;
    testsupport::ReferenceRandom reference = Reference();
    const int dx = reference.Range(0, 20) - 10;
    const int dy = reference.Range(0, 20) - 10;
    m_ship.Draw(m_actual.Dc());
    EXPECT_FALSE(m_ship.m_hit);
    EXPECT_EQ(g_randomGenerator.m_state, reference.m_state);

    Surface expected(200, 200);
    DrawExpected(PrepareText(expected), "25", false, false);
    CPen pen(PS_SOLID, 1, kGreen);
    CBrush yellow(kSpark);
    CPen* const previousPen = expected.Dc()->SelectObject(&pen);
    CBrush* const previousBrush = expected.Dc()->SelectObject(&yellow);
    expected.Dc()->Ellipse(dx + 94, dy + 94, dx + 106, dy + 106);
    expected.Dc()->SelectObject(previousBrush);
    expected.Dc()->SelectObject(previousPen);
    EXPECT_TRUE(m_actual.Same(expected));
    EXPECT_EQ(m_actual.Pixel(dx + 100, dy + 100), kSpark);

    Surface next(200, 200);
    m_ship.Draw(next.Dc());
    for (const CPoint p : next.LitPixels())
        ASSERT_NE(next.Pixel(p.x, p.y), kSpark) << p.x << "," << p.y;
}

TEST_F(ShipDrawTest, BulletsInTheShipsPenAndThePenAndBrushRestored)
{
    CBullet& bullet = m_ship.m_bullets[3];
    bullet.m_active = true;
    bullet.m_life = 5;
    bullet.m_position = CVector2(150, 150);
    m_ship.m_hit = true;

    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush grey(RGB(128, 128, 128));
    CPen* const previousPen = m_actual.Dc()->SelectObject(&red);
    CBrush* const previousBrush = m_actual.Dc()->SelectObject(&grey);
    m_ship.Draw(m_actual.Dc());
    EXPECT_EQ(m_actual.Dc()->GetCurrentPen(), &red);
    EXPECT_EQ(m_actual.Dc()->GetCurrentBrush(), &grey);
    m_actual.Dc()->SelectObject(previousPen);
    m_actual.Dc()->SelectObject(previousBrush);
    // Outline in the ship's colour, fill in the brush the context had.
    EXPECT_EQ(m_actual.Pixel(149, 148), kGreen);
    EXPECT_EQ(m_actual.Pixel(149, 149), RGB(128, 128, 128));
    EXPECT_EQ(m_actual.Pixel(148, 148), kBlack);
}
