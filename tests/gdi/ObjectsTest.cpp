#include <gtest/gtest.h>
#include <utility>

#include "gdi/GdiTestSurface.h"

namespace {

using namespace gditest;

void ExpectDefaults(const CDC& dc)
{
    EXPECT_TRUE(dc.GetCurrentPen() == GetStockBlackPen() && dc.GetCurrentBrush() == GetStockWhiteBrush());
    EXPECT_TRUE(dc.GetCurrentPen()->m_colour == kBlack && dc.GetCurrentPen()->m_width == 1);
    EXPECT_EQ(dc.GetCurrentBrush()->m_colour, kWhite);
    EXPECT_EQ(dc.GetCurrentBitmap(), nullptr);
    EXPECT_TRUE(dc.GetTextColor() == kBlack && dc.GetBkColor() == kWhite && dc.GetBkMode() == OPAQUE);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
}

TEST(GdiObjects, ANewMemoryContextHasTheClassicDefaultsAndSoDoesARemadeOne)
{
    TestSurface s(2, 2);
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kGreen);
    CBitmap other;
    other.CreateCompatibleBitmap(&s.dc, 1, 1);
    EXPECT_EQ(s.dc.SelectObject(&s.bitmap), &s.bitmap);
    s.dc.DeleteDC();
    EXPECT_FALSE(s.dc.IsCreated());
    EXPECT_TRUE(s.dc.CreateCompatibleDC(nullptr));
    ExpectDefaults(s.dc);

    // Selection returns what was selected before, the stock objects at first.
    EXPECT_EQ(s.dc.SelectObject(&pen), GetStockBlackPen());
    EXPECT_EQ(s.dc.SelectObject(GetStockBlackPen()), &pen);
    EXPECT_EQ(s.dc.SelectObject(&brush), GetStockWhiteBrush());
    EXPECT_EQ(s.dc.SelectObject(GetStockWhiteBrush()), &brush);
    EXPECT_EQ(s.dc.SelectObject(&s.bitmap), nullptr);
    EXPECT_EQ(s.dc.SelectObject(&other), &s.bitmap);
    EXPECT_EQ(s.dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
    EXPECT_EQ(s.dc.GetCurrentPen(), GetStockBlackPen());
    EXPECT_EQ(s.dc.SetTextColor(kRed), kBlack);
    EXPECT_EQ(s.dc.SetBkColor(kBlue), kWhite);
    EXPECT_EQ(s.dc.SetBkMode(12345), 0);
    s.dc.SetBkMode(TRANSPARENT);
    s.dc.MoveTo(1, 1);
    s.dc.CreateCompatibleDC(&s.dc);
    ExpectDefaults(s.dc);

    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_FALSE(pen.DeleteObject());
    // Stock objects outlive deletion.
    EXPECT_FALSE(GetStockBlackPen()->DeleteObject() || GetStockWhiteBrush()->DeleteObject());
    EXPECT_TRUE(GetStockBlackPen()->m_created && GetStockWhiteBrush()->m_created);
}

// Every drawing call on a context that has nothing to draw into: no effect, no crash.
void DrawEverything(CDC& dc)
{
    CDC source;
    source.CreateCompatibleDC(nullptr);
    dc.MoveTo(-5, -5);
    dc.LineTo(5, 5);
    dc.Ellipse(-3, -3, 3, 3);
    dc.FillSolidRect(-1, -1, 3, 3, kRed);
    dc.TextOut(0, 0, "X");
    dc.BitBlt(0, 0, 1, 1, &source, 0, 0, SRCCOPY);
    EXPECT_EQ(dc.SetPixel(0, 0, kRed), CLR_INVALID);
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(5, 5));
}

TEST(GdiObjects, EmptyDeletedOrMissingBitmapsDrawNothing)
{
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}})
    {
        TestSurface s(w, h);
        EXPECT_EQ(s.bitmap.m_pixels, nullptr);
        DrawEverything(s.dc);
    }
    CDC none;
    none.CreateCompatibleDC(nullptr);
    DrawEverything(none);
    // The game deletes the context and then its bitmap; the other order is safe too.
    TestSurface first(4, 4);
    EXPECT_TRUE(first.dc.DeleteDC());
    EXPECT_TRUE(first.bitmap.DeleteObject());
    DrawEverything(first.dc);
    TestSurface second(4, 4);
    EXPECT_TRUE(second.bitmap.DeleteObject());
    DrawEverything(second.dc);
}

}  // namespace
