#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

TEST(GdiText, DefaultFontHasAFixedCellAboutSixteenPixelsHigh)
{
    CDC dc;
    const CSize zero = dc.GetTextExtent("0");
    EXPECT_TRUE(zero.cy >= 14 && zero.cy <= 18 && zero.cx > 4) << zero.cx << "x" << zero.cy;
    EXPECT_EQ(dc.GetTextExtent("Deaths:"), (CSize{7 * zero.cx, zero.cy}));
    EXPECT_EQ(dc.GetTextExtent(""), (CSize{0, zero.cy}));
    // Characters outside the font are one box each, whatever their UTF-8 length.
    EXPECT_EQ(dc.GetTextExtent("\xC3\xA9\x01").cx, 2 * zero.cx);
}

TEST(GdiText, OpaqueFillsExactlyTheCellWithTheTwoColoursOnly)
{
    TestSurface s(80, 24);
    s.dc.FillSolidRect(0, 0, 80, 24, kBlue);
    s.dc.SetBkColor(kRed);
    s.dc.SetTextColor(kGreen);
    s.dc.MoveTo(1, 2);
    EXPECT_TRUE(s.dc.TextOut(5, 3, "Score:-5"));
    const CSize cell = s.dc.GetTextExtent("Score:-5");
    const std::vector<std::string> map = s.Map();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x)
        {
            const bool inCell = x >= 5 && x < 5 + cell.cx && y >= 3 && y < 3 + cell.cy;
            ASSERT_TRUE(inCell ? map[y][x] == 'r' || map[y][x] == 'g' : map[y][x] == 'b') << x << "," << y;
        }
    EXPECT_GT(s.Count('g'), 40);
    EXPECT_EQ(s.dc.GetCurrentPosition(), CPoint(1, 2));
}

TEST(GdiText, TransparentModeDrawsOnlyTheGlyphs)
{
    TestSurface opaque(40, 20);
    opaque.dc.SetTextColor(kWhite);
    opaque.dc.SetBkColor(kBlue);
    opaque.dc.TextOut(2, 1, "A1");

    TestSurface transparent(40, 20);
    transparent.dc.SetTextColor(kWhite);
    EXPECT_EQ(transparent.dc.SetBkMode(TRANSPARENT), OPAQUE);
    transparent.dc.TextOut(2, 1, "A1");
    std::vector<std::string> expected = opaque.Map();
    for (std::string& row : expected)
        std::replace(row.begin(), row.end(), 'b', '.');
    EXPECT_EQ(transparent.Map(), expected);
}

TEST(GdiText, EachCharacterHasItsOwnGlyphAndRepeatsExactly)
{
    TestSurface s(64, 16);
    s.dc.SetTextColor(kWhite);
    s.dc.SetBkColor(kBlack);
    s.dc.TextOut(0, 0, "18\xE2\x82\xAC"
                       "18\xE2\x82\xAC");  // "18€18€": the euro sign is outside the font
    const int w = s.dc.GetTextExtent("1").cx;
    for (const std::string& row : s.Map())
    {
        EXPECT_EQ(row.substr(0, 3 * w), row.substr(3 * w, 3 * w));
        EXPECT_EQ(row.find_first_not_of('.', 6 * w), std::string::npos);
    }
    EXPECT_NE(s.Map(), std::vector<std::string>(16, std::string(64, '.')));
    TestSurface one(w, 16);
    TestSurface eight(w, 16);
    one.dc.TextOut(0, 0, "1");
    eight.dc.TextOut(0, 0, "8");
    EXPECT_NE(one.Map(), eight.Map());
}

}  // namespace
