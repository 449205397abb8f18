#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <utility>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

using Pixels = std::set<std::pair<int, int>>;

Pixels DrawLine(CPoint from, CPoint to)
{
    TestSurface s(10, 10);
    CPen pen(PS_SOLID, 1, kWhite);
    s.dc.SelectObject(&pen);
    s.dc.MoveTo(from);
    EXPECT_TRUE(s.dc.LineTo(to));
    EXPECT_EQ(s.dc.GetCurrentPosition(), to);
    Pixels lit;
    const std::vector<std::string> map = s.Map();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (map[y][x] == '#')
                lit.insert({x, y});
    return lit;
}

TEST(GdiLine, TieRuleExamplesBothWaysRound)
{
    EXPECT_EQ(DrawLine({0, 0}, {4, 2}), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(DrawLine({4, 2}, {0, 0}), (Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
    EXPECT_EQ(DrawLine({0, 0}, {2, 4}), (Pixels{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(DrawLine({2, 4}, {0, 0}), (Pixels{{2, 4}, {1, 3}, {1, 2}, {0, 1}}));
    EXPECT_EQ(DrawLine({0, 2}, {4, 0}), (Pixels{{0, 2}, {1, 1}, {2, 1}, {3, 0}}));
    EXPECT_EQ(DrawLine({4, 0}, {0, 2}), (Pixels{{4, 0}, {3, 0}, {2, 1}, {1, 1}}));
}

TEST(GdiLine, AxisAlignedInAllFourDirectionsAndZeroLength)
{
    EXPECT_EQ(DrawLine({2, 5}, {5, 5}), (Pixels{{2, 5}, {3, 5}, {4, 5}}));
    EXPECT_EQ(DrawLine({5, 5}, {2, 5}), (Pixels{{5, 5}, {4, 5}, {3, 5}}));
    EXPECT_EQ(DrawLine({5, 2}, {5, 5}), (Pixels{{5, 2}, {5, 3}, {5, 4}}));
    EXPECT_EQ(DrawLine({5, 5}, {5, 2}), (Pixels{{5, 5}, {5, 4}, {5, 3}}));
    EXPECT_EQ(DrawLine({3, 3}, {3, 3}), Pixels{});
}

TEST(GdiLine, OnePixelPerMajorStepAndBothDirectionsAgreeButForTheEnds)
{
    for (int x0 = 0; x0 < 9; x0 += 4)
        for (int y0 = 0; y0 < 9; y0 += 3)
            for (int x1 = 0; x1 < 9; ++x1)
                for (int y1 = 0; y1 < 9; ++y1)
                {
                    if (x0 == x1 && y0 == y1)
                        continue;
                    Pixels forward = DrawLine({x0, y0}, {x1, y1});
                    Pixels backward = DrawLine({x1, y1}, {x0, y0});
                    ASSERT_EQ(forward.size(), std::size_t(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
                    ASSERT_TRUE(forward.count({x0, y0}) == 1 && forward.count({x1, y1}) == 0);
                    forward.insert({x1, y1});
                    backward.insert({x0, y0});
                    ASSERT_EQ(forward, backward) << x0 << "," << y0 << " <-> " << x1 << "," << y1;
                }
}

TEST(GdiLine, ContinuesFromTheCurrentPositionInThePenColour)
{
    TestSurface s(5, 2);
    CPen red(PS_SOLID, 1, kRed);
    s.dc.FillSolidRect(0, 0, 5, 2, kBlue);
    EXPECT_EQ(s.dc.MoveTo(1, 0), CPoint(0, 0));
    s.dc.LineTo(3, 0);  // the default pen is black
    s.dc.SelectObject(&red);
    s.dc.LineTo(3, 2);
    EXPECT_EQ(s.Map(), (std::vector<std::string>{"b..rb", "bbbrb"}));
}

}  // namespace
