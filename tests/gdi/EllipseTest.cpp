#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

using Map = std::vector<std::string>;

// Ellipse(box) with a white pen ('#') and a red brush ('o') on a black surface.
Map DrawEllipse(int width, int height, const CRect& box)
{
    TestSurface s(width, height);
    CPen pen(PS_SOLID, 1, kWhite);
    CBrush brush(kRed);
    s.dc.SelectObject(&pen);
    s.dc.SelectObject(&brush);
    s.dc.MoveTo(2, 3);
    EXPECT_TRUE(s.dc.Ellipse(box));
    EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(2, 3));
    Map map = s.Map();
    for (std::string& row : map)
        std::replace(row.begin(), row.end(), 'r', 'o');
    return map;
}

TEST(GdiEllipse, FourByFourIsTheBullet)
{
    EXPECT_EQ(DrawEllipse(6, 6, CRect(1, 1, 5, 5)), (Map{"......", "..##..", ".#oo#.", ".#oo#.", "..##..", "......"}));
}

TEST(GdiEllipse, TwelveByTwelveIsTheHitSpark)
{
    const Map expected = {
        "..............", "......####....", "....##oooo##..", "...#oooooooo#.", "...#oooooooo#.",
        "..#oooooooooo#", "..#oooooooooo#", "..#oooooooooo#", "..#oooooooooo#", "...#oooooooo#.",
        "...#oooooooo#.", "....##oooo##..", "......####....", "..............",
    };
    EXPECT_EQ(DrawEllipse(14, 14, CRect(2, 1, 14, 13)), expected);
}

TEST(GdiEllipse, SmallThinEmptyAndReversedBoxes)
{
    EXPECT_EQ(DrawEllipse(3, 3, CRect(0, 0, 3, 3)), (Map{".#.", "#o#", ".#."}));
    EXPECT_EQ(DrawEllipse(5, 5, CRect(0, 0, 5, 5)), (Map{".###.", "#ooo#", "#ooo#", "#ooo#", ".###."}));
    // One or two pixels across leave no interior: the whole box is outline.
    EXPECT_EQ(DrawEllipse(3, 3, CRect(1, 0, 2, 3)), (Map{".#.", ".#.", ".#."}));
    EXPECT_EQ(DrawEllipse(4, 2, CRect(0, 0, 4, 2)), (Map{"####", "####"}));
    EXPECT_EQ(DrawEllipse(3, 3, CRect(1, 0, 1, 3)), (Map{"...", "...", "..."}));
    EXPECT_EQ(DrawEllipse(3, 3, CRect(0, 2, 3, 2)), (Map{"...", "...", "..."}));
    EXPECT_EQ(DrawEllipse(6, 6, CRect(5, 5, 1, 1)), DrawEllipse(6, 6, CRect(1, 1, 5, 5)));
}

TEST(GdiEllipse, EverySizeIsSymmetricClosedAndReachesItsBox)
{
    for (int w = 1; w <= 30; ++w)
        for (int h = 1; h <= 30; ++h)
        {
            SCOPED_TRACE(testing::Message() << w << "x" << h);
            const Map map = DrawEllipse(w + 2, h + 2, CRect(1, 1, w + 1, h + 1));
            for (int y = 0; y < h + 2; ++y)
            {
                const std::string& row = map[y];
                // Each row is one run inside the box, mirrored left to right and top to bottom.
                const std::size_t first = row.find_first_not_of('.');
                const bool blank = first == std::string::npos;
                const bool oneRun = blank || row.find('.', first) == row.find_last_not_of('.') + 1;
                ASSERT_TRUE(oneRun && (blank || (y > 0 && y <= h && first > 0))) << y;
                ASSERT_EQ(row, std::string(row.rbegin(), row.rend()));
                ASSERT_EQ(row, map[h + 1 - y]);
                for (int x = 1; x <= w; ++x)
                {
                    // The outline closes the interior in, and a circle looks the same turned a quarter.
                    const bool closed = row[x] != 'o' || (map[y - 1][x] != '.' && map[y + 1][x] != '.' &&
                                                          row[x - 1] != '.' && row[x + 1] != '.');
                    ASSERT_TRUE(closed && (w != h || row[x] == map[x][y])) << x << "," << y;
                }
            }
            EXPECT_NE(map[(h + 1) / 2][1], '.');
            EXPECT_NE(map[1][(w + 1) / 2], '.');
        }
}

}  // namespace
