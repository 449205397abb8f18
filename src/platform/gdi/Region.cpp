#include "platform/gdi/Region.h"

#include <algorithm>

namespace {

long long AreaOf(const CRect& r)
{
    return r.IsRectEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

bool Contains(const CRect& outer, const CRect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The pixels the bounding box of a and b covers that neither of them does; both are
// non-empty, as every rectangle held is. Called for most held rectangles on every add,
// so it is the arithmetic alone.
long long Waste(const CRect& a, const CRect& b)
{
    const long long boxWidth = std::max(a.right, b.right) - std::min(a.left, b.left);
    const long long boxHeight = std::max(a.bottom, b.bottom) - std::min(a.top, b.top);
    const long long shareWidth = std::max(0, std::min(a.right, b.right) - std::max(a.left, b.left));
    const long long shareHeight = std::max(0, std::min(a.bottom, b.bottom) - std::max(a.top, b.top));
    return boxWidth * boxHeight - static_cast<long long>(a.Width()) * a.Height() -
           static_cast<long long>(b.Width()) * b.Height() + shareWidth * shareHeight;
}

CRect BoxOfNonEmpty(const CRect& a, const CRect& b)
{
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

}  // namespace

CRect Intersection(const CRect& a, const CRect& b)
{
    const CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
    return r.IsRectEmpty() ? CRect() : r;
}

void CRegion::Add(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    // A frame draws in runs of nearby calls (the lines of one ship, a bullet's ring and its
    // pixels), which grow the rectangle the run began without looking at the others. Only
    // when the run ends may what it grew to hold or touch others: it is placed anew then.
    if (m_last < m_count) {
        CRect& last = m_rects[m_last];
        if (Contains(last, rect))
            return;
        if (Waste(last, rect) <= kMergeSlack) {
            last = BoxOfNonEmpty(last, rect);
            return;
        }
        const CRect grown = last;
        last = m_rects[--m_count];
        Place(grown);
    }
    Place(rect);
}

void CRegion::Place(const CRect& rect)
{
    CRect adding = rect;
    // A merge makes a larger rectangle, which may now be close to others: it is placed again.
    // When the array is full, the same pass finds the rectangle that adding grows least.
    for (;;) {
        const bool full = m_count == kCapacity;
        int merge = -1;
        int best = 0;
        long long bestGrowth = -1;
        for (int i = 0; i < m_count; ++i) {
            const CRect& held = m_rects[i];
            if (Contains(held, adding)) {
                m_last = i;
                return;
            }
            if (Waste(held, adding) <= kMergeSlack) {
                merge = i;
                break;
            }
            if (full) {
                const long long growth = AreaOf(BoxOfNonEmpty(held, adding)) - AreaOf(held);
                if (bestGrowth < 0 || growth < bestGrowth) {
                    best = i;
                    bestGrowth = growth;
                }
            }
        }
        if (merge < 0 && !full) {
            m_last = m_count;
            m_rects[m_count++] = adding;
            return;
        }
        const int joined = merge >= 0 ? merge : best;
        adding = BoxOfNonEmpty(m_rects[joined], adding);
        m_rects[joined] = m_rects[--m_count];
    }
}
