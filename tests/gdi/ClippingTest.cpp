// Drawing on a small surface must give exactly the window of the same drawing on a large
// one, wherever the shape crosses the edges; huge coordinates draw only what shows.
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

using Map = std::vector<std::string>;

// Draws at every offset that pushes the drawing across an edge of a 9 x 7 surface and
// compares with the same drawing on a surface with room all round.
void ExpectClippedLikeUnclipped(const std::function<void(CDC&, int, int)>& draw)
{
    constexpr int kMargin = 20;
    for (int dx = -12; dx <= 12; dx += 3)
        for (int dy = -12; dy <= 12; dy += 3)
        {
            TestSurface small(9, 7);
            TestSurface large(9 + 2 * kMargin, 7 + 2 * kMargin);
            CPen pen(PS_SOLID, 1, kWhite);
            CBrush brush(kRed);
            for (TestSurface* s : {&small, &large})
            {
                s->dc.SelectObject(&pen);
                s->dc.SelectObject(&brush);
                s->dc.SetTextColor(kGreen);
                s->dc.SetBkColor(kBlue);
            }
            draw(small.dc, dx, dy);
            draw(large.dc, dx + kMargin, dy + kMargin);
            const Map full = large.Map();
            Map window;
            for (int y = 0; y < 7; ++y)
                window.push_back(full[kMargin + y].substr(kMargin, 9));
            ASSERT_EQ(small.Map(), window) << "offset " << dx << "," << dy;
        }
}

TEST(GdiClipping, LinesEllipsesTextFillPixelsAndBlitsAtEveryEdge)
{
    for (const CPoint d : {CPoint(8, 3), CPoint(-7, 5), CPoint(3, 11), CPoint(-4, -9), CPoint(13, -2), CPoint(6, 6)})
        ExpectClippedLikeUnclipped([&](CDC& dc, int x, int y) {
            dc.MoveTo(x + 1, y + 2);
            dc.LineTo(x + 1 + d.x, y + 2 + d.y);
        });
    ExpectClippedLikeUnclipped([](CDC& dc, int x, int y) { dc.Ellipse(x - 2, y - 1, x + 10, y + 11); });
    ExpectClippedLikeUnclipped([](CDC& dc, int x, int y) { dc.Ellipse(x, y, x + 15, y + 6); });
    ExpectClippedLikeUnclipped([](CDC& dc, int x, int y) { dc.TextOut(x, y, "W8"); });
    ExpectClippedLikeUnclipped([](CDC& dc, int x, int y) { dc.FillSolidRect(x + 1, y - 1, 10, 6, kRed); });
    ExpectClippedLikeUnclipped([](CDC& dc, int x, int y) {
        for (int i = 0; i < 12; ++i)
            dc.SetPixel(x + i, y + i / 2, kGreen);
    });
    TestSurface pattern(12, 10);
    pattern.dc.SetTextColor(kWhite);
    pattern.dc.TextOut(0, 0, "%");
    ExpectClippedLikeUnclipped([&](CDC& dc, int x, int y) { dc.BitBlt(x, y, 12, 10, &pattern.dc, 0, 0, SRCCOPY); });
    // Also clipped to the source: only pixels it has are copied.
    ExpectClippedLikeUnclipped(
        [&](CDC& dc, int x, int y) { dc.BitBlt(x - 3, y - 2, 20, 20, &pattern.dc, -3, -2, SRCCOPY); });
}

TEST(GdiClipping, HugeCoordinatesDrawOnlyTheVisiblePart)
{
    CPen pen(PS_SOLID, 1, kWhite);
    CBrush brush(kRed);
    TestSurface s(9, 7);
    s.dc.SelectObject(&pen);
    s.dc.SelectObject(&brush);
    s.dc.MoveTo(-1000000000, 5);
    s.dc.LineTo(1000000000, 5);
    EXPECT_EQ(s.Map(), (Map{".........", ".........", ".........", ".........", ".........", "#########",
                            "........."}));

    // The extremes of int: the diagonal y = x, and a steep line that passes x = 4.5 just above row 0.
    TestSurface d(9, 7);
    d.dc.SelectObject(&pen);
    d.dc.MoveTo(INT_MIN, INT_MIN);
    d.dc.LineTo(INT_MAX, INT_MAX);
    d.dc.MoveTo(4, INT_MIN);
    d.dc.LineTo(5, INT_MAX);
    EXPECT_EQ(d.Map(), (Map{"#....#...", ".#...#...", "..#..#...", "...#.#...", "....##...", ".....#...",
                            ".....##.."}));

    // Far inside a huge ellipse all is interior; at its left end the outline is one column.
    s.dc.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(s.Count('r'), 9 * 7);
    s.dc.Ellipse(0, -1000000000, 2000000000, 1000000000);
    EXPECT_EQ(s.Map(), Map(7, "#rrrrrrrr"));
}

}  // namespace
