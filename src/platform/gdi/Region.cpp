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

// The pixels the bounding box of a and b covers that neither of them does.
long long Waste(const CRect& a, const CRect& b)
{
    return AreaOf(BoundingBox(a, b)) - AreaOf(a) - AreaOf(b) + AreaOf(Intersection(a, b));
}

}  // namespace

CRect Intersection(const CRect& a, const CRect& b)
{
    const CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
    return r.IsRectEmpty() ? CRect() : r;
}

CRect BoundingBox(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b.IsRectEmpty() ? CRect() : b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

void CRegion::Add(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    CRect adding = rect;
    // A merge makes a larger rectangle, which may now be close to others: look again.
    for (int i = 0; i < m_count;) {
        if (Contains(m_rects[i], adding))
            return;
        if (Waste(m_rects[i], adding) <= kMergeSlack) {
            adding = BoundingBox(m_rects[i], adding);
            m_rects[i] = m_rects[--m_count];
            i = 0;
        } else {
            ++i;
        }
    }
    if (m_count == kCapacity) {
        int best = 0;
        long long bestGrowth = -1;
        for (int i = 0; i < m_count; ++i) {
            const long long growth = AreaOf(BoundingBox(m_rects[i], adding)) - AreaOf(m_rects[i]);
            if (bestGrowth < 0 || growth < bestGrowth) {
                best = i;
                bestGrowth = growth;
            }
        }
        adding = BoundingBox(m_rects[best], adding);
        m_rects[best] = m_rects[--m_count];
        // The grown rectangle may now hold or touch others; adding it again merges them.
        Add(adding);
        return;
    }
    m_rects[m_count++] = adding;
}

void CRegion::Add(const CRegion& region)
{
    for (int i = 0; i < region.m_count; ++i)
        Add(region.m_rects[i]);
}

void CRegion::ClipTo(const CRect& bounds)
{
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        const CRect r = Intersection(m_rects[i], bounds);
        if (!r.IsRectEmpty())
            m_rects[kept++] = r;
    }
    m_count = kept;
}

void CRegion::Offset(int dx, int dy)
{
    for (int i = 0; i < m_count; ++i)
        m_rects[i] = CRect(m_rects[i].left + dx, m_rects[i].top + dy, m_rects[i].right + dx, m_rects[i].bottom + dy);
}

CRect CRegion::Bounds() const
{
    CRect bounds;
    for (int i = 0; i < m_count; ++i)
        bounds = BoundingBox(bounds, m_rects[i]);
    return bounds;
}

bool CRegion::IsInside(const CRect& rect) const
{
    for (int i = 0; i < m_count; ++i)
        if (!Contains(rect, m_rects[i]))
            return false;
    return true;
}

long long CRegion::Area() const
{
    long long area = 0;
    for (int i = 0; i < m_count; ++i)
        area += AreaOf(m_rects[i]);
    return area;
}
