// The memory drawing surface: every check reads back the pixels it drew.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Canvas.h"

namespace {

using Map = std::vector<std::string>;
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

struct Surface : Canvas
{
    using Canvas::Canvas;
    // One string per row: '.' black, '#' white, 'r' red, 'g' green, 'b' blue, '?' any other.
    Map Read() const
    {
        const std::pair<COLORREF, char> legend[] = {
            {kBlack, '.'}, {kWhite, '#'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}};
        Map rows(bitmap.m_height, std::string(bitmap.m_width, '?'));
        for (int i = 0; i < bitmap.m_width * bitmap.m_height; ++i)
            for (const auto& [colour, mark] : legend)
                if (bitmap.m_pixels[i] == ToSurfacePixel(colour))
                    rows[i / bitmap.m_width][i % bitmap.m_width] = mark;
        return rows;
    }
};

TEST(GdiLine, TieRuleBothWaysRoundAxisAlignedAndNeverTheEndPixel)
{
    const struct { CPoint from, to; std::set<std::pair<int, int>> lit; } cases[] = {
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}}, {{4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        {{0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}}, {{2, 4}, {0, 0}, {{2, 4}, {1, 3}, {1, 2}, {0, 1}}},
        {{0, 2}, {4, 0}, {{0, 2}, {1, 1}, {2, 1}, {3, 0}}}, {{4, 0}, {0, 2}, {{4, 0}, {3, 0}, {2, 1}, {1, 1}}},
        {{2, 5}, {5, 5}, {{2, 5}, {3, 5}, {4, 5}}},         {{5, 5}, {2, 5}, {{5, 5}, {4, 5}, {3, 5}}},
        {{5, 2}, {5, 5}, {{5, 2}, {5, 3}, {5, 4}}},         {{5, 5}, {5, 2}, {{5, 5}, {5, 4}, {5, 3}}},
    };
    for (const auto& c : cases) {
        Surface s(10, 10);
        s.dc.MoveTo(c.from);
        s.dc.LineTo(c.to);
        EXPECT_EQ(s.dc.GetCurrentPosition(), c.to);
        Map expected(10, "..........");
        for (const auto& [x, y] : c.lit)
            expected[y][x] = '#';
        EXPECT_EQ(s.Read(), expected) << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
    }
}

TEST(GdiEllipse, TheBulletAndTheHitSparkPixelForPixel)
{
    // '#' is the pen, 'r' the brush.
    Surface s(20, 14);
    s.dc.Ellipse(1, 1, 5, 5);
    s.dc.Ellipse(CRect(7, 1, 19, 13));
    EXPECT_EQ(s.Read(), (Map{"....................", "..##.......####.....", ".#rr#....##rrrr##...",
                             ".#rr#...#rrrrrrrr#..", "..##....#rrrrrrrr#..", ".......#rrrrrrrrrr#.",
                             ".......#rrrrrrrrrr#.", ".......#rrrrrrrrrr#.", ".......#rrrrrrrrrr#.",
                             "........#rrrrrrrr#..", "........#rrrrrrrr#..", ".........##rrrr##...",
                             "...........####.....", "...................."}));
}

// Every box up to 24 x 24: the outline stays in its box, touches its four sides, is the
// same mirrored either way and is closed around the brush; and the pixels are the ones
// this surface has always drawn (their hash was taken from the direct computation that
// small boxes now read from a table).
TEST(GdiEllipse, EverySmallBoxKeepsItsShape)
{
    constexpr int kLargest = 24, kAt = 2;
    std::uint64_t hash = 14695981039346656037ull;
    for (int w = 1; w <= kLargest; ++w)
        for (int h = 1; h <= kLargest; ++h) {
            Surface s(kLargest + 2 * kAt, kLargest + 2 * kAt);
            s.dc.Ellipse(kAt, kAt, kAt + w, kAt + h);
            const Map map = s.Read();
            for (const std::string& row : map)
                for (const char c : row)
                    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            bool sides[4] = {};
            for (int y = 0; y < int(map.size()); ++y)
                for (int x = 0; x < int(map[y].size()); ++x) {
                    const char c = map[y][x];
                    const int u = x - kAt, v = y - kAt;
                    if (c == '.')
                        continue;
                    ASSERT_TRUE(u >= 0 && u < w && v >= 0 && v < h) << w << "x" << h << " at " << u << "," << v;
                    ASSERT_EQ(c, map[y][kAt + w - 1 - u]) << w << "x" << h << " at " << u << "," << v;
                    ASSERT_EQ(c, map[kAt + h - 1 - v][x]) << w << "x" << h << " at " << u << "," << v;
                    // The brush never meets the black outside: each neighbour is outline or brush.
                    if (c == 'r') {
                        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                            ASSERT_NE(map[y + dy][x + dx], '.') << w << "x" << h << " at " << u << "," << v;
                    }
                    sides[0] |= u == 0;
                    sides[1] |= u == w - 1;
                    sides[2] |= v == 0;
                    sides[3] |= v == h - 1;
                }
            EXPECT_TRUE(sides[0] && sides[1] && sides[2] && sides[3]) << w << "x" << h;
        }
    EXPECT_EQ(hash, 6540597315914899374ull);
}

TEST(GdiContext, ClassicDefaultsSelectionAndAFillThatSetsTheBackgroundColour)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    EXPECT_TRUE(dc.GetCurrentPen()->m_colour == kBlack && dc.GetCurrentPen()->m_width == 1);
    EXPECT_EQ(dc.GetCurrentBrush()->m_colour, kWhite);
    EXPECT_TRUE(dc.GetTextColor() == kBlack && dc.GetBkColor() == kWhite && dc.GetBkMode() == OPAQUE);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    Surface s(5, 4);
    EXPECT_EQ(dc.SelectObject(&s.pen), GetStockBlackPen());
    EXPECT_EQ(dc.SelectObject(GetStockBlackPen()), &s.pen);
    EXPECT_EQ(dc.SelectObject(&s.brush), GetStockWhiteBrush());

    s.dc.FillSolidRect(CRect(1, 1, 4, 3), kRed);
    EXPECT_EQ(s.dc.GetBkColor(), kRed);
    s.dc.FillSolidRect(0, 3, 2, 1, kGreen);
    EXPECT_EQ(s.dc.GetBkColor(), kGreen);
    EXPECT_EQ(s.Read(), (Map{".....", ".rrr.", ".rrr.", "gg..."}));
    EXPECT_EQ(s.bitmap.m_pixels[6], 0xFFFF0000u);  // 0xAARRGGBB, as Qt takes it without a copy
}

// Each drawing, pushed across every edge and corner of a 9 x 7 surface, must show exactly
// the window of the same drawing on a surface with room all round.
TEST(GdiClipping, EveryCallAtEveryEdgeShowsTheWindowOfTheUnclippedDrawing)
{
    Surface pattern(12, 10);
    pattern.dc.TextOut(0, 0, "%");
    const std::function<void(CDC&, int, int)> draws[] = {
        [](CDC& dc, int x, int y) {
            dc.MoveTo(x + 1, y + 2);
            for (const CPoint p : {CPoint(9, 5), CPoint(2, 10), CPoint(5, -1), CPoint(-4, 3), CPoint(10, 1)})
                dc.LineTo(x + p.x, y + p.y);
        },
        [](CDC& dc, int x, int y) { dc.Ellipse(x - 2, y - 1, x + 10, y + 11); },
        [](CDC& dc, int x, int y) { dc.TextOut(x, y, "W8"); },
        [](CDC& dc, int x, int y) { dc.FillSolidRect(x + 1, y - 1, 10, 6, kBlue); },
        [&](CDC& dc, int x, int y) { dc.BitBlt(x - 3, y - 2, 20, 20, &pattern.dc, -3, -2, SRCCOPY); },
    };
    constexpr int kMargin = 20;
    for (std::size_t i = 0; i < std::size(draws); ++i)
        for (int dx = -12; dx <= 12; dx += 3)
            for (int dy = -12; dy <= 12; dy += 3) {
                Surface small(9, 7), large(9 + 2 * kMargin, 7 + 2 * kMargin), window(9, 7);
                draws[i](small.dc, dx, dy);
                draws[i](large.dc, dx + kMargin, dy + kMargin);
                window.dc.BitBlt(0, 0, 9, 7, &large.dc, kMargin, kMargin, SRCCOPY);
                ASSERT_EQ(small.Read(), window.Read()) << "drawing " << i << " at " << dx << "," << dy;
            }
}

TEST(GdiClipping, AHugeLineDrawsTheVisibleRowAndAnEmptySurfaceNothing)
{
    Surface s(6, 7);
    s.dc.MoveTo(-1000000000, 5);
    s.dc.LineTo(1000000000, 5);
    EXPECT_EQ(s.Read(), (Map{"......", "......", "......", "......", "......", "######", "......"}));

    Surface empty(0, 0);
    empty.dc.LineTo(5, 5);
    empty.dc.Ellipse(-3, -3, 3, 3);
    empty.dc.FillSolidRect(-1, -1, 3, 3, kRed);
    empty.dc.TextOut(0, 0, "X");
    EXPECT_EQ(empty.dc.SetPixel(0, 0, kRed), CLR_INVALID);
}

struct RecordingTarget : CDCTarget
{
    std::vector<std::vector<int>> got;
    void PutImage(int x, int y, int w, int h, const CBitmap&, int u, int v) override
    {
        got.push_back({x, y, w, h, u, v});
    }
};

TEST(GdiBlit, CopiesARectangleAndHandsAWindowTheClippedImageInOneCall)
{
    Surface source(4, 3);
    source.dc.SetPixel(1, 1, kRed);
    source.dc.SetPixel(2, 2, kGreen);
    Surface dest(5, 4);
    EXPECT_TRUE(dest.dc.BitBlt(2, 1, 2, 2, &source.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(dest.Read(), (Map{".....", "..r..", "...g.", "....."}));

    RecordingTarget target;
    CDC window;
    window.m_target = &target;
    EXPECT_TRUE(window.BitBlt(10, 20, 9, 9, &source.dc, -1, 1, SRCCOPY));
    EXPECT_EQ(target.got, (std::vector<std::vector<int>>{{11, 20, 4, 2, 0, 1}}));
}

// A 2 x 2 image at scale 2 in a 6 x 5 area: a whole pixel row of black above and one on each
// side; the image overflowing the area at scale 1 shows its middle, clipped.
TEST(GdiBlit, ScalesAWholeImageByWholePixelsCentredAndClipped)
{
    EXPECT_EQ(PlaceScaled({2, 2}, {6, 5}).scale, 2);
    EXPECT_EQ(PlaceScaled({2, 2}, {6, 5}).origin, CPoint(1, 0));
    EXPECT_EQ(PlaceScaled({800, 600}, {1700, 1300}).origin, CPoint(50, 50));
    EXPECT_EQ(PlaceScaled({800, 600}, {799, 1300}).scale, 1);
    EXPECT_EQ(PlaceScaled({800, 600}, {700, 500}).origin, CPoint(-50, -50));

    Surface source(2, 2);
    source.dc.SetPixel(0, 0, kRed);
    source.dc.SetPixel(1, 1, kGreen);
    Surface dest(6, 5);
    EXPECT_TRUE(dest.dc.ScaleBlt(1, 0, 2, &source.dc));
    EXPECT_EQ(dest.Read(), (Map{".rr...", ".rr...", "...gg.", "...gg.", "......"}));
    Surface small(3, 1);
    EXPECT_TRUE(small.dc.ScaleBlt(-2, -3, 3, &source.dc));
    EXPECT_EQ(small.Read(), (Map{".gg"}));
}

}  // namespace
