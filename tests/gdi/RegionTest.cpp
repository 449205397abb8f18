// The region of a few rectangles that tracks drawing: merging, the fixed capacity,
// clipping; and the boxes each drawing call adds to its bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Canvas.h"
#include "platform/gdi/Region.h"

namespace {

std::vector<CRect> Rects(const CRegion& region)
{
    return std::vector<CRect>(region.m_rects, region.m_rects + region.m_count);
}

bool Covers(const CRegion& region, CPoint p)
{
    for (int i = 0; i < region.m_count; ++i)
        if (region.m_rects[i].PtInRect(p))
            return true;
    return false;
}

TEST(Region, MergesWhatOverlapsOrLiesCloseAndKeepsApartWhatIsFar)
{
    CRegion region;
    region.Add(CRect(5, 5, 5, 9));  // empty
    EXPECT_TRUE(region.IsEmpty());
    region.Add(CRect(0, 0, 10, 10));
    region.Add(CRect(2, 2, 8, 8));  // inside
    EXPECT_EQ(Rects(region), std::vector<CRect>{CRect(0, 0, 10, 10)});
    // Its bounding box with the first wastes 30 x 10 - 200 = 100 pixels: one rectangle.
    region.Add(CRect(20, 0, 30, 10));
    EXPECT_EQ(Rects(region), std::vector<CRect>{CRect(0, 0, 30, 10)});
    // 110 x 110 less 400 would be wasted: a rectangle of its own.
    region.Add(CRect(100, 100, 110, 110));
    EXPECT_EQ(Rects(region), (std::vector<CRect>{CRect(0, 0, 30, 10), CRect(100, 100, 110, 110)}));
    // One that bridges both grows the last one at once; the next add far away ends the run,
    // and what it grew to takes the first in.
    region.Add(CRect(0, 0, 110, 100));
    EXPECT_EQ(region.Bounds(), CRect(0, 0, 110, 110));
    region.Add(CRect(500, 500, 501, 501));
    EXPECT_EQ(Rects(region), (std::vector<CRect>{CRect(0, 0, 110, 110), CRect(500, 500, 501, 501)}));
    // The slack is the limit: 4096 pixels wasted merges, 4097 does not.
    CRegion edge;
    edge.Add(CRect(0, 0, 1, 1));
    edge.Add(CRect(1, 0, 2, 4097));  // box 2 x 4097, less 1 and 4097: 4096 wasted
    EXPECT_EQ(Rects(edge), std::vector<CRect>{CRect(0, 0, 2, 4097)});
    edge.Clear();
    edge.Add(CRect(0, 0, 1, 1));
    edge.Add(CRect(1, 0, 2, 4098));
    EXPECT_EQ(edge.m_count, 2);
}

TEST(Region, WhenFullTheNewRectangleJoinsTheOneItGrowsLeast)
{
    CRegion region;
    // Single pixels 200 apart on a diagonal: never close enough to merge.
    for (int i = 0; i < CRegion::kCapacity; ++i)
        region.Add(CRect(200 * i, 200 * i, 200 * i + 1, 200 * i + 1));
    ASSERT_EQ(region.m_count, CRegion::kCapacity);
    // Too far from any to merge (61 x 101 would waste 6 159 with the one at (800, 800)),
    // but that one grows least.
    region.Add(CRect(740, 700, 741, 701));
    EXPECT_EQ(region.m_count, CRegion::kCapacity);
    EXPECT_EQ(region.Bounds(), CRect(0, 0, 200 * (CRegion::kCapacity - 1) + 1, 200 * (CRegion::kCapacity - 1) + 1));
    std::vector<CRect> rects = Rects(region);
    EXPECT_NE(std::find(rects.begin(), rects.end(), CRect(740, 700, 801, 801)), rects.end());

    // Thousands of scattered pixels: never more rectangles than the capacity, and never a pixel lost.
    CRegion many;
    std::vector<CPoint> added;
    for (int i = 0; i < 3000; ++i) {
        const CPoint p((i * 7919) % 1920, (i * 104729) % 1080);
        many.Add(CRect(p.x, p.y, p.x + 1, p.y + 1));
        added.push_back(p);
        ASSERT_LE(many.m_count, CRegion::kCapacity);
    }
    for (const CPoint p : added)
        ASSERT_TRUE(Covers(many, p)) << p.x << ", " << p.y;
}

TEST(Region, ClipOffsetBoundsAndInside)
{
    CRegion region;
    region.Add(CRect(-5, -5, 5, 5));
    region.Add(CRect(200, 200, 210, 220));
    region.Add(CRect(-50, 300, -40, 310));
    region.ClipTo(CRect(0, 0, 205, 400));
    EXPECT_EQ(Rects(region), (std::vector<CRect>{CRect(0, 0, 5, 5), CRect(200, 200, 205, 220)}));
    EXPECT_EQ(region.Area(), 25 + 100);
    EXPECT_EQ(region.Bounds(), CRect(0, 0, 205, 220));
    EXPECT_TRUE(region.IsInside(CRect(0, 0, 205, 220)));
    EXPECT_FALSE(region.IsInside(CRect(0, 0, 205, 219)));
    region.Offset(10, -20);
    EXPECT_EQ(Rects(region), (std::vector<CRect>{CRect(10, -20, 15, -15), CRect(210, 180, 215, 200)}));
    region.ClipTo(CRect(0, 0, 1, 1));
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_TRUE(region.Bounds().IsRectEmpty());
}

// Each call's box, on a 100 x 100 bitmap with nothing drawn yet: the pixels it may touch, clipped.
TEST(SurfaceDamage, EachCallAddsItsFootprintClipped)
{
    struct Case
    {
        const char* what;
        void (*draw)(CDC&);
        CRect box;
    };
    const Case cases[] = {
        {"x-major line, end excluded", [](CDC& dc) { dc.MoveTo(0, 0); dc.LineTo(4, 2); }, CRect(0, 0, 4, 3)},
        {"backwards", [](CDC& dc) { dc.MoveTo(4, 2); dc.LineTo(0, 0); }, CRect(1, 0, 5, 3)},
        {"y-major", [](CDC& dc) { dc.MoveTo(0, 0); dc.LineTo(2, 4); }, CRect(0, 0, 3, 4)},
        {"upwards", [](CDC& dc) { dc.MoveTo(5, 9); dc.LineTo(5, 1); }, CRect(5, 2, 6, 10)},
        {"zero length", [](CDC& dc) { dc.MoveTo(3, 3); dc.LineTo(3, 3); }, CRect()},
        {"off the left edge", [](CDC& dc) { dc.MoveTo(-10, 5); dc.LineTo(10, 5); }, CRect(0, 5, 10, 6)},
        {"ellipse", [](CDC& dc) { dc.Ellipse(10, 20, 14, 24); }, CRect(10, 20, 14, 24)},
        {"ellipse across the corner", [](CDC& dc) { dc.Ellipse(90, 90, 112, 112); }, CRect(90, 90, 100, 100)},
        {"pixel", [](CDC& dc) { dc.SetPixel(7, 8, RGB(1, 2, 3)); }, CRect(7, 8, 8, 9)},
        {"pixel outside", [](CDC& dc) { dc.SetPixel(100, 8, RGB(1, 2, 3)); }, CRect()},
        {"part fill", [](CDC& dc) { dc.FillSolidRect(CRect(-3, 50, 20, 60), RGB(9, 9, 9)); }, CRect(0, 50, 20, 60)},
        {"text cell", [](CDC& dc) { dc.TextOut(95, -4, "ab"); },
         CRect(95, 0, 100, 12)},
        {"copy in", [](CDC& dc) { dc.BitBlt(60, 70, 50, 5, &dc, 0, 0, SRCCOPY); }, CRect(60, 70, 100, 75)},
    };
    for (const Case& c : cases) {
        Canvas s(100, 100);
        s.dc.SetTextColor(RGB(255, 255, 255));
        c.draw(s.dc);
        const std::vector<CRect> expected = c.box.IsRectEmpty() ? std::vector<CRect>{} : std::vector<CRect>{c.box};
        EXPECT_EQ(Rects(s.bitmap.m_drawn), expected) << c.what;
        // Every pixel lit lies in the box.
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                if (s.bitmap.m_pixels[y * 100 + x] != ToSurfacePixel(RGB(0, 0, 0))) {
                    ASSERT_TRUE(c.box.PtInRect(CPoint(x, y))) << c.what << " at " << x << ", " << y;
                }
            }
        }
    }
}

// A clear of the whole bitmap with its colour fills only the boxes drawn since the last
// one (a pixel written behind the context's back shows it), and moves them to what
// changed since the last put; another colour fills all of it.
TEST(SurfaceDamage, AClearFillsWhatWasDrawnAndAnotherColourEverything)
{
    Canvas s(100, 100);
    CDC& dc = s.dc;
    CBitmap& bitmap = s.bitmap;
    const std::uint32_t black = ToSurfacePixel(RGB(0, 0, 0));
    dc.SetPixel(10, 10, RGB(255, 0, 0));
    bitmap.m_pixels[50 * 100 + 50] = 0xFFFFFFFFu;
    dc.FillSolidRect(CRect(0, 0, 100, 100), RGB(0, 0, 0));
    EXPECT_EQ(bitmap.m_pixels[10 * 100 + 10], black);
    EXPECT_EQ(bitmap.m_pixels[50 * 100 + 50], 0xFFFFFFFFu);
    EXPECT_TRUE(bitmap.m_drawn.IsEmpty());
    EXPECT_EQ(Rects(bitmap.m_changed), std::vector<CRect>{CRect(10, 10, 11, 11)});

    bitmap.MarkAllDrawn();
    dc.FillSolidRect(CRect(-1, -1, 101, 101), RGB(0, 0, 0));
    EXPECT_EQ(bitmap.m_pixels[50 * 100 + 50], black);
    EXPECT_EQ(Rects(bitmap.m_changed), std::vector<CRect>{CRect(0, 0, 100, 100)});

    bitmap.m_changed.Clear();
    dc.FillSolidRect(CRect(0, 0, 100, 100), RGB(0, 0, 255));
    EXPECT_EQ(bitmap.m_background, ToSurfacePixel(RGB(0, 0, 255)));
    EXPECT_EQ(Rects(bitmap.m_changed), std::vector<CRect>{CRect(0, 0, 100, 100)});
    for (int i = 0; i < 100 * 100; ++i)
        ASSERT_EQ(bitmap.m_pixels[i], ToSurfacePixel(RGB(0, 0, 255))) << i;
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 0, 255));
}

}  // namespace
