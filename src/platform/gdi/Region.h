#pragma once
// CRegion: an area of a surface or a window as at most kCapacity rectangles that together
// cover every pixel added, and some more. It lives in a fixed array, so that tracking what
// a frame draws allocates nothing. A rectangle that overlaps or lies close to one already
// held is merged into it; when the array is full, the new one joins the rectangle it grows
// least. The cover therefore never misses a pixel, and stays a little larger than the
// pixels when they are many and scattered.
#include "platform/gdi/Geometry.h"

struct CRegion
{
    static constexpr int kCapacity = 16;
    // Two rectangles become one when their bounding box wastes at most this many pixels
    // that neither covers: filling or showing a rectangle costs about that much more
    // than its pixels.
    static constexpr long long kMergeSlack = 1024;

    CRect m_rects[kCapacity];
    int m_count = 0;

    bool IsEmpty() const { return m_count == 0; }
    void Clear() { m_count = 0; }
    // An empty rectangle adds nothing.
    void Add(const CRect& rect);
    void Add(const CRegion& region);
    // Keeps only what lies inside bounds.
    void ClipTo(const CRect& bounds);
    // Moves every rectangle by (dx, dy).
    void Offset(int dx, int dy);
    // The smallest rectangle holding the whole region; empty when the region is.
    CRect Bounds() const;
    // True when every pixel of the region lies in rect.
    bool IsInside(const CRect& rect) const;
    // The number of pixels the rectangles cover, counting overlaps more than once.
    long long Area() const;
};

// The pixels a and b share; empty when they share none.
CRect Intersection(const CRect& a, const CRect& b);
// The smallest rectangle holding both; an empty one adds nothing.
CRect BoundingBox(const CRect& a, const CRect& b);
