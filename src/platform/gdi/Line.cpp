// LineTo: a one-pixel Bresenham line, clipped to the bitmap before it is walked, so a
// line reaching far outside costs no more than its visible part.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

namespace {

// n / d rounded up, for d > 0.
Int128 CeilDiv(Int128 n, Int128 d)
{
    const Int128 q = n / d;
    return n % d > 0 ? q + 1 : q;
}

// The first index in [lo, hi] where a predicate that turns from false to true holds; hi + 1 if none.
template <typename Predicate>
std::int64_t FirstWhere(std::int64_t lo, std::int64_t hi, Predicate holds)
{
    std::int64_t end = hi + 1;
    while (lo < end)
    {
        const std::int64_t mid = lo + (end - lo) / 2;
        if (holds(mid))
            end = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// A line seen along its major axis. Pixel i (0 <= i < length) lies at major0 + i * step and
// minor0 + ceil((2 * i * dMinor - length) / (2 * length)): the ideal minor coordinate rounded
// to the nearest pixel, a tie going to the smaller coordinate whichever way the line runs.
struct LineWalk
{
    std::int64_t major0;
    std::int64_t minor0;
    std::int64_t step;
    std::int64_t length;
    std::int64_t dMinor;

    Int128 Numerator(std::int64_t i) const { return Int128(2) * i * dMinor - length; }
    std::int64_t MinorAt(std::int64_t i) const
    {
        return minor0 + std::int64_t(CeilDiv(Numerator(i), 2 * Int128(length)));
    }
};

void DrawLine(const Surface& surface, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
              std::uint32_t pixel)
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    if (dx == 0 && dy == 0)
        return;
    // On |dx| == |dy| every pixel sits exactly on the diagonal, so the choice of axis changes nothing.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const LineWalk walk = xMajor ? LineWalk{x0, y0, dx > 0 ? 1 : -1, std::llabs(dx), dy}
                                 : LineWalk{y0, x0, dy > 0 ? 1 : -1, std::llabs(dy), dx};
    const std::int64_t majorLimit = xMajor ? surface.width : surface.height;
    const std::int64_t minorLimit = xMajor ? surface.height : surface.width;

    // The steps whose major coordinate is inside; the end point (i == length) is never drawn.
    std::int64_t first = 0;
    std::int64_t last = walk.length - 1;
    if (walk.step > 0)
    {
        first = std::max(first, -walk.major0);
        last = std::min(last, majorLimit - 1 - walk.major0);
    }
    else
    {
        first = std::max(first, walk.major0 - (majorLimit - 1));
        last = std::min(last, walk.major0);
    }
    if (first > last)
        return;

    // Of those, the steps whose minor coordinate is inside; it is monotonic in i, so when
    // both ends are inside every step is.
    const auto inside = [&](std::int64_t i) {
        const std::int64_t minor = walk.MinorAt(i);
        return minor >= 0 && minor < minorLimit;
    };
    if (!inside(first) || !inside(last))
    {
        if (walk.dMinor >= 0)
        {
            first = FirstWhere(first, last, [&](std::int64_t i) { return walk.MinorAt(i) >= 0; });
            last = FirstWhere(first, last, [&](std::int64_t i) { return walk.MinorAt(i) >= minorLimit; }) - 1;
        }
        else
        {
            first = FirstWhere(first, last, [&](std::int64_t i) { return walk.MinorAt(i) < minorLimit; });
            last = FirstWhere(first, last, [&](std::int64_t i) { return walk.MinorAt(i) < 0; }) - 1;
        }
        if (first > last)
            return;
    }

    // Walk from the first visible step with the error term of the closed form, so clipping
    // never changes which pixels light: error = numerator - offset * denominator, in (-denominator, 0].
    const std::int64_t denominator = 2 * walk.length;
    const std::int64_t minor = walk.MinorAt(first);
    std::int64_t error = std::int64_t(walk.Numerator(first) - Int128(minor - walk.minor0) * denominator);
    const std::int64_t major = walk.major0 + first * walk.step;
    const std::int64_t majorStride = xMajor ? walk.step : walk.step * surface.width;
    const std::int64_t minorStride = xMajor ? surface.width : 1;
    std::uint32_t* p = surface.pixels + (xMajor ? minor * surface.width + major : major * surface.width + minor);
    for (std::int64_t i = first;; ++i)
    {
        *p = pixel;
        if (i == last)
            break;
        p += majorStride;
        error += 2 * walk.dMinor;
        if (walk.dMinor > 0 && error > 0)
        {
            p += minorStride;
            error -= denominator;
        }
        else if (walk.dMinor < 0 && error <= -denominator)
        {
            p -= minorStride;
            error += denominator;
        }
    }
}

}  // namespace

bool CDC::LineTo(int x, int y)
{
    const CPoint from = m_position;
    m_position = CPoint(x, y);
    const Surface surface = Surface::Of(m_bitmap);
    if (surface.IsEmpty() || from == m_position)
        return m_created;
    DrawLine(surface, from.x, from.y, x, y, ToSurfacePixel(m_pen->m_colour));
    // The line's box less the end point's column (a line mostly along x) or row (along y),
    // since the end point is never drawn.
    const std::int64_t dx = std::int64_t(x) - from.x;
    const std::int64_t dy = std::int64_t(y) - from.y;
    std::int64_t left = std::min<std::int64_t>(from.x, x);
    std::int64_t right = std::max<std::int64_t>(from.x, x) + 1;
    std::int64_t top = std::min<std::int64_t>(from.y, y);
    std::int64_t bottom = std::max<std::int64_t>(from.y, y) + 1;
    if (std::llabs(dx) >= std::llabs(dy))
        (dx > 0 ? right : left) += dx > 0 ? -1 : 1;
    else
        (dy > 0 ? bottom : top) += dy > 0 ? -1 : 1;
    Drew(left, top, right, bottom);
    return m_created;
}
