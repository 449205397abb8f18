// The region of a few rectangles a window is put: merging, the fixed capacity;
// the tile mask that tracks drawing, and the tiles each drawing call marks in its bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Canvas.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/TileMask.h"

namespace {

std::vector<CRect> Rects(const CRegion& region)
{
    return std::vector<CRect>(region.m_rects, region.m_rects + region.m_count);
}

CRect Bounds(const CRegion& region)
{
    CRect bounds = region.m_rects[0];
    for (const CRect& r : Rects(region))
        bounds = CRect(std::min(bounds.left, r.left), std::min(bounds.top, r.top), std::max(bounds.right, r.right),
                       std::max(bounds.bottom, r.bottom));
    return bounds;
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
    EXPECT_EQ(region.m_count, 0);
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
    EXPECT_EQ(Bounds(region), CRect(0, 0, 110, 110));
    region.Add(CRect(500, 500, 501, 501));
    EXPECT_EQ(Rects(region), (std::vector<CRect>{CRect(0, 0, 110, 110), CRect(500, 500, 501, 501)}));
    // The slack is the limit: 4096 pixels wasted merges, 4097 does not.
    CRegion edge;
    edge.Add(CRect(0, 0, 1, 1));
    edge.Add(CRect(1, 0, 2, 4097));  // box 2 x 4097, less 1 and 4097: 4096 wasted
    EXPECT_EQ(Rects(edge), std::vector<CRect>{CRect(0, 0, 2, 4097)});
    edge = CRegion();
    edge.Add(CRect(0, 0, 1, 1));
    edge.Add(CRect(1, 0, 2, 4098));
    EXPECT_EQ(edge.m_count, 2);
    // The same limit for one placed among the others, away from the last add.
    edge = CRegion();
    edge.Add(CRect(0, 0, 1, 1));
    edge.Add(CRect(1000, 1000, 1001, 1001));
    edge.Add(CRect(1, 0, 2, 4097));
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
    EXPECT_EQ(Bounds(region), CRect(0, 0, 200 * (CRegion::kCapacity - 1) + 1, 200 * (CRegion::kCapacity - 1) + 1));
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

// The tile mask: boxes mark whole tiles, read back as runs along each tile row, clipped to
// the bitmap, across the 64 tiles of a word.
std::vector<CRect> Runs(const CTileMask& mask)
{
    std::vector<CRect> runs;
    mask.ForEachRun([&runs](const CRect& run) { runs.push_back(run); });
    return runs;
}

TEST(TileMask, BoxesMarkWholeTilesReadBackAsRunsClippedToTheBitmap)
{
    CTileMask mask;
    ASSERT_TRUE(mask.Resize(2000, 40));  // 125 columns (two words a row), 3 rows, the last 8 high
    EXPECT_TRUE(mask.IsEmpty());
    mask.Mark(CRect(5, 5, 6, 6));
    mask.Mark(CRect(17, 2, 20, 3));  // the tile beside it: one run
    EXPECT_EQ(Runs(mask), std::vector<CRect>{CRect(0, 0, 32, 16)});
    // Across the word boundary (tiles 62..65) and down to the short last row.
    mask.Mark(CRect(62 * 16 + 3, 20, 65 * 16 + 1, 35));
    // The last column is 2000 - 124 * 16 = 16 wide; the row below it 8 high.
    mask.Mark(CRect(1999, 39, 2000, 40));
    EXPECT_EQ(Runs(mask), (std::vector<CRect>{CRect(0, 0, 32, 16), CRect(992, 16, 1056, 32),
                                              CRect(992, 32, 1056, 40), CRect(1984, 32, 2000, 40)}));
    EXPECT_EQ(mask.Area(), 32 * 16 + 64 * 16 + 64 * 8 + 16 * 8);

    CTileMask other;
    ASSERT_TRUE(other.Resize(2000, 40));
    other.Mark(CRect(40, 0, 41, 1));  // joins the first run
    mask.Add(other);
    EXPECT_EQ(Runs(mask).front(), CRect(0, 0, 48, 16));
    CRegion region;
    mask.AddTo(region);
    EXPECT_EQ(Bounds(region), CRect(0, 0, 2000, 40));

    mask.Clear();
    EXPECT_TRUE(mask.IsEmpty());
    EXPECT_EQ(Runs(mask), std::vector<CRect>{});
    mask.MarkAll();
    EXPECT_EQ(Runs(mask), (std::vector<CRect>{CRect(0, 0, 2000, 16), CRect(0, 16, 2000, 32), CRect(0, 32, 2000, 40)}));

    // An empty bitmap has no tiles, and marking it does nothing.
    ASSERT_TRUE(mask.Resize(0, 0));
    mask.MarkAll();
    EXPECT_TRUE(mask.IsEmpty());
}

// The runs of the tiles a box touches on a 100 x 100 bitmap, one a tile row.
std::vector<CRect> TilesOf(const CRect& box)
{
    std::vector<CRect> runs;
    if (box.IsRectEmpty())
        return runs;
    const int left = box.left / 16 * 16, right = std::min((box.right + 15) / 16 * 16, 100);
    for (int top = box.top / 16 * 16; top < box.bottom; top += 16)
        runs.emplace_back(left, top, right, std::min(top + 16, 100));
    return runs;
}

// Each call's box, on a 100 x 100 bitmap with nothing drawn yet: the pixels it may touch,
// clipped, marks its tiles; every pixel lit lies in the box.
TEST(SurfaceDamage, EachCallMarksTheTilesOfItsFootprintClipped)
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
        {"y-major across a tile row", [](CDC& dc) { dc.MoveTo(0, 14); dc.LineTo(2, 18); }, CRect(0, 14, 3, 18)},
        {"upwards", [](CDC& dc) { dc.MoveTo(5, 9); dc.LineTo(5, 1); }, CRect(5, 2, 6, 10)},
        {"zero length", [](CDC& dc) { dc.MoveTo(3, 3); dc.LineTo(3, 3); }, CRect()},
        {"off the left edge", [](CDC& dc) { dc.MoveTo(-10, 5); dc.LineTo(10, 5); }, CRect(0, 5, 10, 6)},
        {"ellipse", [](CDC& dc) { dc.Ellipse(10, 20, 14, 24); }, CRect(10, 20, 14, 24)},
        {"ellipse across the corner", [](CDC& dc) { dc.Ellipse(90, 90, 112, 112); }, CRect(90, 90, 100, 100)},
        {"pixel", [](CDC& dc) { dc.SetPixel(47, 8, RGB(1, 2, 3)); }, CRect(47, 8, 48, 9)},
        {"pixel outside", [](CDC& dc) { dc.SetPixel(100, 8, RGB(1, 2, 3)); }, CRect()},
        {"part fill", [](CDC& dc) { dc.FillSolidRect(CRect(-3, 50, 20, 60), RGB(9, 9, 9)); }, CRect(0, 50, 20, 60)},
        {"text cell", [](CDC& dc) { dc.TextOut(95, -4, "ab"); }, CRect(95, 0, 100, 12)},
        {"copy in", [](CDC& dc) { dc.BitBlt(60, 70, 50, 5, &dc, 0, 0, SRCCOPY); }, CRect(60, 70, 100, 75)},
    };
    for (const Case& c : cases) {
        Canvas s(100, 100);
        s.dc.SetTextColor(RGB(255, 255, 255));
        c.draw(s.dc);
        EXPECT_EQ(Runs(s.bitmap.m_drawn), TilesOf(c.box)) << c.what;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                if (s.bitmap.m_pixels[y * 100 + x] != ToSurfacePixel(RGB(0, 0, 0))) {
                    ASSERT_TRUE(c.box.PtInRect(CPoint(x, y))) << c.what << " at " << x << ", " << y;
                }
            }
        }
    }
}

// A clear of the whole bitmap with its colour fills only the tiles drawn in since the last
// one (a pixel written behind the context's back elsewhere shows it), and moves them to what
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
    EXPECT_EQ(Runs(bitmap.m_changed), std::vector<CRect>{CRect(0, 0, 16, 16)});

    bitmap.MarkAllDrawn();
    dc.FillSolidRect(CRect(-1, -1, 101, 101), RGB(0, 0, 0));
    EXPECT_EQ(bitmap.m_pixels[50 * 100 + 50], black);
    EXPECT_EQ(bitmap.m_changed.Area(), 100 * 100);

    bitmap.m_changed.Clear();
    dc.FillSolidRect(CRect(0, 0, 100, 100), RGB(0, 0, 255));
    EXPECT_EQ(bitmap.m_background, ToSurfacePixel(RGB(0, 0, 255)));
    EXPECT_EQ(bitmap.m_changed.Area(), 100 * 100);
    for (int i = 0; i < 100 * 100; ++i)
        ASSERT_EQ(bitmap.m_pixels[i], ToSurfacePixel(RGB(0, 0, 255))) << i;
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 0, 255));
}

}  // namespace
