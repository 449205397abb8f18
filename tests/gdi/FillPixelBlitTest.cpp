#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

using Map = std::vector<std::string>;

TEST(GdiPixel, StoresAarrggbbInsideAndNothingOutside)
{
    TestSurface s(3, 2);
    EXPECT_EQ(s.bitmap.m_pixels[5], 0xFF000000u);  // a new bitmap is black
    EXPECT_EQ(s.dc.SetPixel(2, 1, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(s.bitmap.m_pixels[5], 0xFF123456u);
    EXPECT_EQ(s.dc.GetPixel(2, 1), RGB(0x12, 0x34, 0x56));
    for (const CPoint p : {CPoint(-1, 0), CPoint(3, 0), CPoint(0, -1), CPoint(0, 2)})
    {
        EXPECT_EQ(s.dc.SetPixel(p.x, p.y, kRed), CLR_INVALID);
        EXPECT_EQ(s.dc.GetPixel(p.x, p.y), CLR_INVALID);
    }
    EXPECT_EQ(s.Count('r'), 0);
}

TEST(GdiFill, FillsRightAndBottomExclusiveAndLeavesTheBackgroundColourSet)
{
    TestSurface s(5, 4);
    s.dc.FillSolidRect(CRect(1, 1, 4, 3), kRed);
    EXPECT_EQ(s.dc.GetBkColor(), kRed);
    s.dc.FillSolidRect(0, 3, 2, 1, kGreen);
    EXPECT_EQ(s.dc.GetBkColor(), kGreen);
    // Empty rectangles draw nothing but still set the colour.
    s.dc.FillSolidRect(CRect(3, 0, 1, 2), kBlue);
    s.dc.FillSolidRect(0, 0, 0, 4, kWhite);
    EXPECT_EQ(s.dc.GetBkColor(), kWhite);
    EXPECT_EQ(s.Map(), (Map{".....", ".rrr.", ".rrr.", "gg..."}));

    // Long runs are filled in bulk; they still end exactly at the rectangle's edges.
    TestSurface wide(300, 4);
    wide.dc.FillSolidRect(1, 1, 298, 1, kRed);
    wide.dc.FillSolidRect(-5, 2, 400, 1, kGreen);
    EXPECT_EQ(wide.Map(), (Map{std::string(300, '.'), "." + std::string(298, 'r') + ".", std::string(300, 'g'),
                               std::string(300, '.')}));
}

TEST(GdiBlit, CopiesARectangleAlsoWithinOneBitmap)
{
    TestSurface source(4, 3);
    source.dc.SetPixel(1, 1, kRed);
    source.dc.SetPixel(2, 2, kGreen);
    source.dc.SetPixel(3, 0, kBlue);
    TestSurface dest(5, 4);
    EXPECT_TRUE(dest.dc.BitBlt(2, 1, 2, 2, &source.dc, 1, 1, SRCCOPY));
    EXPECT_EQ(dest.Map(), (Map{".....", "..r..", "...g.", "....."}));
    CDC noBitmap;
    EXPECT_FALSE(dest.dc.BitBlt(0, 0, 2, 2, &source.dc, 0, 0, 0x00EE0086));
    EXPECT_FALSE(dest.dc.BitBlt(0, 0, 2, 2, &noBitmap, 0, 0, SRCCOPY));
    EXPECT_FALSE(dest.dc.BitBlt(0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));

    // Overlapping copies move the original picture either way.
    TestSurface s(4, 4);
    s.dc.FillSolidRect(0, 0, 2, 2, kRed);
    s.dc.SetPixel(0, 0, kGreen);
    s.dc.BitBlt(1, 1, 3, 3, &s.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(s.Map(), (Map{"gr..", "rgr.", ".rr.", "...."}));
    s.dc.BitBlt(0, 0, 3, 3, &s.dc, 1, 1, SRCCOPY);
    EXPECT_EQ(s.Map(), (Map{"gr..", "rr..", "....", "...."}));
}

struct RecordingTarget : CDCTarget
{
    std::vector<std::vector<int>> calls;
    const CBitmap* source = nullptr;

    void PutImage(int x, int y, int width, int height, const CBitmap& bitmap, int sourceX, int sourceY) override
    {
        calls.push_back({x, y, width, height, sourceX, sourceY});
        source = &bitmap;
    }
};

TEST(GdiBlit, AWindowContextHandsTheSourcePixelsToItsTargetInOneCall)
{
    TestSurface source(800, 600);
    RecordingTarget target;
    CDC window;
    window.m_target = &target;
    EXPECT_TRUE(window.BitBlt(0, 0, 800, 600, &source.dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(window.BitBlt(10, 20, 900, 700, &source.dc, -5, 100, SRCCOPY));
    EXPECT_TRUE(window.BitBlt(0, 0, 10, 10, &source.dc, 800, 0, SRCCOPY));  // nothing of the source
    EXPECT_EQ(target.calls, (std::vector<std::vector<int>>{{0, 0, 800, 600, 0, 0}, {15, 20, 800, 500, 0, 100}}));
    EXPECT_EQ(target.source, &source.bitmap);
}

}  // namespace
