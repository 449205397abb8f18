// Frame rendering: the scoreboard's cells, colours and numbers, the drawing order, a
// frame that covers the whole client area after a resize, and the erase handler.
#include <gtest/gtest.h>

#include <string>

#include "arena/ArenaTestKit.h"

using arenatest::Arm;
using arenatest::ArenaTest;
using arenatest::Place;
using arenatest::QuietScene;

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kShipColours[CArenaView::kShipSlots] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00C8C8, 0xC8C800, 0xC800C8};
constexpr COLORREF kDebris = 0x6496;
// The scoreboard lies within this band at the top; the quiet scene keeps every object
// below it.
constexpr int kBandHeight = 60;

// A black memory surface to draw the expected picture on.
class Surface
{
public:
    Surface(int width, int height) : m_width(width), m_height(height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, width, height);
        m_dc.SelectObject(&m_bitmap);
    }

    CDC& Dc() { return m_dc; }
    COLORREF Pixel(int x, int y) const { return m_dc.GetPixel(x, y); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    CBitmap m_bitmap;  // declared first so that it outlives the context it is selected into
    CDC m_dc;
};

// The band as it should be: black, then the texts in their drawing order: each ship's
// score and deaths in its colour, the sentry's in white, then the two labels.
void DrawExpectedBand(Surface& band, const int* scores, const int* deaths, int shipCount, int sentryScore,
                      int sentryDeaths)
{
    CDC& dc = band.Dc();
    dc.FillSolidRect(CRect(0, 0, band.Width(), band.Height()), kBlack);
    for (int i = 0; i < shipCount; ++i) {
        dc.SetTextColor(kShipColours[i]);
        dc.TextOut(100 + 30 * i, 10, std::to_string(scores[i]));
        dc.TextOut(100 + 30 * i, 30, std::to_string(deaths[i]));
    }
    dc.SetTextColor(kWhite);
    dc.TextOut(300, 10, std::to_string(sentryScore));
    dc.TextOut(300, 30, std::to_string(sentryDeaths));
    dc.TextOut(10, 10, "Score:");
    dc.TextOut(10, 30, "Deaths:");
}

// Compares a rectangle of the arena's surface with the same rectangle of a reference.
testing::AssertionResult SameRegion(const CDC& actual, const Surface& expected, const CRect& region)
{
    int differences = 0;
    testing::Message where;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            const COLORREF a = actual.GetPixel(x, y);
            const COLORREF e = expected.Pixel(x, y);
            if (a != e && ++differences <= 8)
                where << " (" << x << "," << y << ") is 0x" << std::hex << a << " not 0x" << e << std::dec << ";";
        }
    }
    if (differences == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << differences << " pixels differ:" << where;
}

int CountColour(const CDC& dc, const CRect& region, COLORREF colour)
{
    int count = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x)
            count += dc.GetPixel(x, y) == colour;
    }
    return count;
}

}  // namespace

class ArenaRender : public ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        QuietScene(Arena());
        for (int i = 0; i < CArenaView::kShipSlots; ++i) {
            Ship(i).m_score = m_scores[i];
            Ship(i).m_deaths = m_deaths[i];
        }
        Sentry().m_score = 17;
        Sentry().m_deaths = 2;
    }

    CDC& Frame() { return Arena().m_memDC; }

    CRect Cell(int x, int y, const std::string& text) const
    {
        const CSize size = m_arena->m_memDC.GetTextExtent(text);
        return CRect(x, y, x + size.cx, y + size.cy);
    }

    int m_scores[CArenaView::kShipSlots] = {7, 12, -3, 40, 5, 9};
    int m_deaths[CArenaView::kShipSlots] = {1, 0, 22, 3, 4, 6};
};

TEST_F(ArenaRender, ScoreboardWithThreeShips)
{
    Arena().OnPaint();
    Surface expected(kWidth, kBandHeight);
    DrawExpectedBand(expected, m_scores, m_deaths, 3, 17, 2);
    EXPECT_TRUE(SameRegion(Frame(), expected, CRect(0, 0, kWidth, kBandHeight)));

    // Each number really shows, in its ship's colour; nothing stands at the fourth column.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(CountColour(Frame(), Cell(100 + 30 * i, 10, std::to_string(m_scores[i])), kShipColours[i]), 0);
        EXPECT_GT(CountColour(Frame(), Cell(100 + 30 * i, 30, std::to_string(m_deaths[i])), kShipColours[i]), 0);
    }
    EXPECT_EQ(CountColour(Frame(), CRect(190, 0, 300, kBandHeight), kBlack), 110 * kBandHeight);
    EXPECT_GT(CountColour(Frame(), Cell(300, 10, "17"), kWhite), 0);
    EXPECT_GT(CountColour(Frame(), Cell(10, 10, "Score:"), kWhite), 0);
    EXPECT_GT(CountColour(Frame(), Cell(10, 30, "Deaths:"), kWhite), 0);
}

TEST_F(ArenaRender, ScoreboardWithSixShips)
{
    Arena().m_shipCount = 6;
    Arena().OnPaint();
    Surface expected(kWidth, kBandHeight);
    DrawExpectedBand(expected, m_scores, m_deaths, 6, 17, 2);
    EXPECT_TRUE(SameRegion(Frame(), expected, CRect(0, 0, kWidth, kBandHeight)));
    for (int i = 3; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(CountColour(Frame(), Cell(100 + 30 * i, 10, std::to_string(m_scores[i])), kShipColours[i]), 0);
    }

    // Back to three: the columns of the ships that left play are gone from the next frame.
    Arena().m_shipCount = 3;
    Arena().OnPaint();
    Surface three(kWidth, kBandHeight);
    DrawExpectedBand(three, m_scores, m_deaths, 3, 17, 2);
    EXPECT_TRUE(SameRegion(Frame(), three, CRect(0, 0, kWidth, kBandHeight)));
}

TEST_F(ArenaRender, NegativeScoresKeepTheirMinusSign)
{
    m_scores[0] = -5;
    Ship(0).m_score = -5;
    Sentry().m_score = -15;
    Arena().OnPaint();
    Surface expected(kWidth, kBandHeight);
    DrawExpectedBand(expected, m_scores, m_deaths, 3, -15, 2);
    EXPECT_TRUE(SameRegion(Frame(), expected, CRect(0, 0, kWidth, kBandHeight)));

    Surface unsigned5(kWidth, kBandHeight);
    m_scores[0] = 5;
    DrawExpectedBand(unsigned5, m_scores, m_deaths, 3, -15, 2);
    EXPECT_FALSE(SameRegion(Frame(), unsigned5, CRect(100, 10, 130, 30)));
    EXPECT_GT(Frame().GetTextExtent("-5").cx, Frame().GetTextExtent("5").cx);
}

TEST_F(ArenaRender, PowerUpsCoverShipNumbersButNotLabelsOrSentryNumbers)
{
    Place(Arena().m_powerUps[0], 104.0, 18.0);
    Place(Arena().m_powerUps[1], 20.0, 18.0);
    Place(Arena().m_powerUps[2], 304.0, 18.0);
    Arena().OnPaint();
    Surface expected(kWidth, kBandHeight);
    DrawExpectedBand(expected, m_scores, m_deaths, 3, 17, 2);

    // The cross's first stroke starts at its centre, inside slot 0's score cell.
    EXPECT_NE(Frame().GetPixel(104, 18), expected.Pixel(104, 18));
    EXPECT_TRUE(SameRegion(Frame(), expected, Cell(10, 10, "Score:")));
    EXPECT_TRUE(SameRegion(Frame(), expected, Cell(300, 10, "17")));
}

TEST_F(ArenaRender, ShipsAndExplosionsAreInterleaved)
{
    Ship(0).m_position = CVector2(200.0, 300.0);
    Ship(1).m_position = CVector2(400.0, 300.0);
    CExplosion& first = Arena().m_explosions[0];
    first.m_active = true;
    first.m_ticksLeft = 10;
    Arm(first.m_particles[0], 202.0, 300.0);
    Arm(first.m_particles[1], 402.0, 300.0);
    CExplosion& second = Arena().m_explosions[1];
    second.m_active = true;
    second.m_ticksLeft = 10;
    Arm(second.m_particles[0], 404.0, 300.0);
    // Slot 3 is out of play: its explosion is not drawn.
    CExplosion& outOfPlay = Arena().m_explosions[3];
    outOfPlay.m_active = true;
    outOfPlay.m_ticksLeft = 10;
    Arm(outOfPlay.m_particles[0], 500.0, 200.0);

    Arena().OnPaint();
    EXPECT_EQ(Frame().GetPixel(202, 300), kDebris);  // slot 0's explosion over its ship
    EXPECT_EQ(Frame().GetPixel(402, 300), kShipColours[1]);  // ship 1 over slot 0's explosion
    EXPECT_EQ(Frame().GetPixel(404, 300), kDebris);  // slot 1's explosion over its ship
    EXPECT_EQ(Frame().GetPixel(500, 200), kBlack);
    EXPECT_EQ(Frame().GetPixel(501, 201), kBlack);
}

TEST_F(ArenaRender, SentryBulletsAndSentryUseTheDefaultPenAndBrush)
{
    // A 4 x 4 bullet: black outline (the default pen) around a white fill (the default
    // brush); the sentry's barrel in white from its centre.
    Arm(Sentry().m_bullets[0], 600.0, 200.0);
    Arena().OnPaint();
    for (const CPoint p : {CPoint(599, 199), CPoint(600, 199), CPoint(599, 200), CPoint(600, 200)})
        EXPECT_EQ(Frame().GetPixel(p.x, p.y), kWhite) << p.x << "," << p.y;
    EXPECT_EQ(Frame().GetPixel(700, 500), kWhite);
    EXPECT_EQ(Frame().GetPixel(700, 510), kWhite);
}

TEST_F(ArenaRender, EachFrameCoversTheWholeResizedClientArea)
{
    constexpr COLORREF kGarbage = 0xFF00FF;
    for (const CSize size : {CSize{300, 200}, CSize{1000, 700}, CSize{1, 1}, CSize{800, 600}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        Resize(size.cx, size.cy);
        EXPECT_EQ(Frame().GetPixel(size.cx - 1, size.cy - 1), kBlack);
        EXPECT_EQ(Frame().GetPixel(size.cx, 0), CLR_INVALID);
        EXPECT_EQ(Frame().GetPixel(0, size.cy), CLR_INVALID);

        Frame().FillSolidRect(CRect(0, 0, size.cx, size.cy), kGarbage);
        Arena().OnPaint();
        EXPECT_EQ(CountColour(Frame(), CRect(0, 0, size.cx, size.cy), kGarbage), 0);
    }
    // Ships are still drawn where they stand: ship 0's centre line runs right from (100, 300).
    EXPECT_EQ(Frame().GetPixel(101, 300), kShipColours[0]);
}

TEST_F(ArenaRender, EraseDoesNothing)
{
    Arena().OnPaint();
    const COLORREF label = Frame().GetPixel(12, 14);
    const COLORREF ship = Frame().GetPixel(101, 300);
    EXPECT_FALSE(Arena().OnEraseBkgnd(&Frame()));
    EXPECT_EQ(Arena().SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&Frame()), 0), 0);
    EXPECT_EQ(Frame().GetPixel(12, 14), label);
    EXPECT_EQ(Frame().GetPixel(101, 300), ship);
}
