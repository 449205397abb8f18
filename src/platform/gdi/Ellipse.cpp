// Ellipse: a midpoint ellipse mirrored into four quadrants, drawn row by row so that
// only the visible rows of a large or far-off ellipse cost anything.
//
// Coordinates are doubled and taken from the centre of the box: a box of width w has
// columns u = -(w-1), -(w-3), ..., w-1 and rows likewise, and the ideal curve through the
// pixel centres of the box's edges is B²u² + A²v² = A²B² with A = w - 1, B = h - 1.
// Region 1 (the flat part, around the top) picks one row for each column: the outer one
// unless the midpoint towards the inner one lies on or outside the curve. Region 2 (the
// steep part, around the sides) picks one column for each row the same way, and joins
// each pixel to the one in the row above. Region 1 ends where the curve passes 45 degrees.
// Where the curve's top or side ends fall between two pixel centres, both pixels are lit.
// Boxes up to 16 a side, the bullets and sparks, read their rows from a table of the same
// outlines worked out once.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

namespace {

// The largest m with d * m² <= n, for n below 2^62: a floating-point guess (inverseD is
// 1 / d) corrected exactly, without the cost of a division.
std::uint64_t RootOfQuotient(std::uint64_t n, std::uint64_t d, double inverseD)
{
    auto m = std::uint64_t(std::sqrt(double(n) * inverseD));
    while (m > 0 && d * m * m > n)
        --m;
    while (d * (m + 1) * (m + 1) <= n)
        ++m;
    return m;
}

// The same for any n below 2^128.
UInt128 RootOfQuotient(UInt128 n, UInt128 d, double)
{
    const UInt128 q = n / d;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const long double guess = std::sqrt(static_cast<long double>(q));
    UInt128 s = guess >= static_cast<long double>(kMax) ? kMax : std::uint64_t(guess);
    while (s * s > q)
        --s;
    while (s < kMax && (s + 1) * (s + 1) <= q)
        ++s;
    return s;
}

// One quadrant of the outline. T holds A²B²: 64 bits for small boxes, 128 for any other.
template <typename T>
struct Quadrant
{
    std::int64_t a;
    std::int64_t b;
    T aa;
    T bb;
    double inverseAa = 1.0 / double(aa);
    double inverseBb = 1.0 / double(bb);

    // The largest k >= 0 of the given parity with d * (k - shift)² < r; -1 if there is none.
    static std::int64_t Largest(T r, T d, double inverseD, std::int64_t parity, std::int64_t shift)
    {
        if (r == 0)
            return -1;
        const auto m = std::int64_t(RootOfQuotient(r - 1, d, inverseD));
        std::int64_t k = shift + m;
        if ((k & 1) != parity)
            --k;
        return k < 0 || k - shift < -m ? -1 : k;
    }

    // Region 1: the row of column u (0 <= u <= A): the largest v with F(u, v - 1) < 0.
    std::int64_t RowOf(std::int64_t u) const { return Largest(bb * (aa - T(u) * T(u)), aa, inverseAa, b & 1, 1); }

    // Region 1: the last column whose row is v or further out (|v - 1| <= B).
    std::int64_t LastColumnReaching(std::int64_t v) const
    {
        const auto d = T(std::llabs(v - 1));
        return Largest(aa * (bb - d * d), bb, inverseBb, a & 1, 0);
    }

    // Region 2: the column of row v (0 <= v <= B): the largest u with F(u - 1, v) < 0.
    std::int64_t ColumnOf(std::int64_t v) const { return Largest(aa * (bb - T(v) * T(v)), bb, inverseBb, a & 1, 1); }

    // Region 1: the last column where the ideal curve is no steeper than 45 degrees, that is
    // u²(A² + B²) <= A⁴. The first column always belongs to it.
    std::int64_t LastFlatColumn() const
    {
        auto u = std::int64_t(RootOfQuotient(aa * aa, aa + bb, 1.0 / double(aa + bb)));
        if ((u & 1) != (a & 1))
            --u;
        return std::max(u, a & 1);
    }
};

// The outline of one row of the top half and its mirror: the columns inner..outer on each
// side of the centre, doubled and taken from the centre like u.
struct RowOutline
{
    std::int64_t inner;
    std::int64_t outer;
};

// The outline of a box of at least 3 x 3 pixels, row by row.
template <typename T>
class Outline
{
public:
    Outline(std::int64_t width, std::int64_t height)
        : q{width - 1, height - 1, T(width - 1) * T(width - 1), T(height - 1) * T(height - 1)},
          firstColumn(q.a & 1),
          lastFlatColumn(q.LastFlatColumn()),
          topRow(q.RowOf(firstColumn)),
          lastFlatRow(q.RowOf(lastFlatColumn))
    {
    }

    // Row j of the box and its mirror, row height - 1 - j.
    RowOutline Row(std::int64_t j) const
    {
        const std::int64_t v = q.b - 2 * j;
        std::int64_t inner;
        std::int64_t outer;
        if (v > topRow)
        {
            // Above region 1's first pixel (an even width whose curve is steep at the top):
            // the curve stays within the centre column here.
            inner = firstColumn;
            outer = firstColumn;
        }
        else if (v >= lastFlatRow)
        {
            outer = std::min(lastFlatColumn, q.LastColumnReaching(v));
            inner = v == topRow ? firstColumn : q.LastColumnReaching(v + 2) + 2;
        }
        else
        {
            outer = std::max(q.ColumnOf(v), lastFlatColumn);
            const std::int64_t above = v + 2 >= lastFlatRow ? lastFlatColumn
                                                            : std::max(q.ColumnOf(v + 2), lastFlatColumn);
            // Joins this row's pixel to the one above so that the outline stays closed.
            inner = above + 2;
        }
        // The curve's ends lie on the middle row (or between the two middle rows), so the
        // middle row's outline runs out to the box's sides.
        if (v == (q.b & 1))
            outer = q.a;
        return {std::min(inner, outer), outer};
    }

private:
    const Quadrant<T> q;
    const std::int64_t firstColumn;
    const std::int64_t lastFlatColumn;
    const std::int64_t topRow;      // below the box's top only for an even width
    const std::int64_t lastFlatRow; // -1 when region 1 reaches the sides
};

// The outlines of the boxes a bullet or a spark is drawn in, and every other box up to
// kSide a side, worked out once: a small box's square roots and divisions cost several
// times the few spans it fills.
class SmallOutlines
{
public:
    static constexpr int kSide = 16;

    static const SmallOutlines& Get()
    {
        static const SmallOutlines outlines;
        return outlines;
    }

    RowOutline Row(std::int64_t width, std::int64_t height, std::int64_t j) const
    {
        const Entry& entry = m_rows[width - kSmallest][height - kSmallest][j];
        return {entry.inner, entry.outer};
    }

private:
    static constexpr int kSmallest = 3;
    static constexpr int kSizes = kSide - kSmallest + 1;

    struct Entry
    {
        std::int8_t inner;
        std::int8_t outer;
    };

    SmallOutlines()
    {
        for (int width = kSmallest; width <= kSide; ++width)
            for (int height = kSmallest; height <= kSide; ++height)
            {
                const Outline<std::uint64_t> outline(width, height);
                for (int j = 0; j <= (height - 1) / 2; ++j)
                {
                    const RowOutline row = outline.Row(j);
                    m_rows[width - kSmallest][height - kSmallest][j] = {std::int8_t(row.inner), std::int8_t(row.outer)};
                }
            }
    }

    Entry m_rows[kSizes][kSizes][(kSide - 1) / 2 + 1] = {};
};

// Boxes of at least 3 x 3 pixels; rowOf(j) gives row j's outline.
template <typename RowOf>
void DrawEllipse(const Surface& surface, std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                 std::uint32_t pen, std::uint32_t brush, const RowOf& rowOf)
{
    const std::int64_t centre2 = 2 * left + width - 1;  // twice the centre column

    // Row j of the box and its mirror, row height - 1 - j, share one outline.
    const auto drawRows = [&](std::int64_t j) {
        const auto [inner, outer] = rowOf(j);
        for (const std::int64_t y : {top + j, top + height - 1 - j})
        {
            surface.FillSpan(y, (centre2 - inner) / 2 + 1, (centre2 + inner) / 2 - 1, brush);
            surface.FillSpan(y, (centre2 - outer) / 2, (centre2 - inner) / 2, pen);
            surface.FillSpan(y, (centre2 + inner) / 2, (centre2 + outer) / 2, pen);
        }
    };

    // Only rows of the top half that are visible, or whose mirror is, cost anything.
    const std::int64_t half = (height - 1) / 2;
    const std::int64_t firstVisible = std::max<std::int64_t>(0, -top);
    const std::int64_t lastVisible = std::min<std::int64_t>(height, surface.height - top) - 1;
    const std::int64_t ownFrom = firstVisible;
    const std::int64_t ownTo = std::min(lastVisible, half);
    for (std::int64_t j = ownFrom; j <= ownTo; ++j)
        drawRows(j);
    const std::int64_t mirrorTo = std::min(height - 1 - firstVisible, half);
    for (std::int64_t j = std::max<std::int64_t>(height - 1 - lastVisible, 0); j <= mirrorTo; ++j)
    {
        if (j < ownFrom || j > ownTo)
            drawRows(j);
    }
}

template <typename T>
void DrawComputedEllipse(const Surface& surface, std::int64_t left, std::int64_t top, std::int64_t width,
                         std::int64_t height, std::uint32_t pen, std::uint32_t brush)
{
    const Outline<T> outline(width, height);
    DrawEllipse(surface, left, top, width, height, pen, brush, [&outline](std::int64_t j) { return outline.Row(j); });
}

}  // namespace

bool CDC::Ellipse(int left, int top, int right, int bottom)
{
    const Surface surface = Surface::Of(m_bitmap);
    if (surface.IsEmpty())
        return m_created;
    std::int64_t l = left;
    std::int64_t r = right;
    std::int64_t t = top;
    std::int64_t b = bottom;
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    const std::int64_t width = r - l;
    const std::int64_t height = b - t;
    // Off the bitmap entirely: nothing to compute.
    if (width == 0 || height == 0 || r <= 0 || b <= 0 || l >= surface.width || t >= surface.height)
        return m_created;
    Drew(l, t, r, b);
    const std::uint32_t pen = ToSurfacePixel(m_pen->m_colour);
    if (width <= 2 || height <= 2)
    {
        // No room for an interior: every pixel of the box is on the outline.
        surface.FillRect(l, t, r, b, pen);
        return m_created;
    }
    const std::uint32_t brush = ToSurfacePixel(m_brush->m_colour);
    if (width <= SmallOutlines::kSide && height <= SmallOutlines::kSide)
    {
        const SmallOutlines& outlines = SmallOutlines::Get();
        DrawEllipse(surface, l, t, width, height, pen, brush,
                    [&](std::int64_t j) { return outlines.Row(width, height, j); });
    }
    // Below 2^15 per side A²B² fits in 64 bits.
    else if (width <= (1 << 15) && height <= (1 << 15))
        DrawComputedEllipse<std::uint64_t>(surface, l, t, width, height, pen, brush);
    else
        DrawComputedEllipse<UInt128>(surface, l, t, width, height, pen, brush);
    return m_created;
}
