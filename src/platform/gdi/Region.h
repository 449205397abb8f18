#pragma once
// CRegion: an area of a surface or a window as at most kCapacity rectangles that together
// cover every pixel added, and some more: what a put hands a window. It lives in a fixed
// array, so that a frame's put allocates nothing. A rectangle that overlaps or lies close
// to one already held is merged into it; when the array is full, the new one joins the
// rectangle it grows least. The cover therefore never misses a pixel, and stays a little
// larger than the pixels when they are many and scattered.
//
// Rectangles come in runs of nearby ones (the tiles a frame drew in, row by row), so a
// rectangle close to the one the last add ended in simply grows that one; what it grew to
// is merged with the others when the run ends. Until then it may overlap them, which costs
// a reader no more than a pixel put twice.
#include "platform/gdi/Geometry.h"

struct CRegion
{
    static constexpr int kCapacity = 64;
    // Two rectangles become one when their bounding box wastes at most this many pixels
    // (a 64 x 64 block) that neither covers: every rectangle held costs each later add a
    // look, and the tiles of a frame of scattered bullets fill the array far sooner with less.
    static constexpr long long kMergeSlack = 4096;

    CRect m_rects[kCapacity];
    int m_count = 0;
    // The rectangle the last add ended in, which the next one grows when it lies close.
    int m_last = 0;

    // An empty rectangle adds nothing.
    void Add(const CRect& rect);

private:
    // Merges rect with every rectangle it holds or lies close to, and keeps the result.
    void Place(const CRect& rect);
};

// The pixels a and b share; empty when they share none.
CRect Intersection(const CRect& a, const CRect& b);
