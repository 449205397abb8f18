#include "platform/gdi/TileMask.h"

#include <algorithm>
#include <new>

namespace {

// The bits first..last (inclusive) of one word.
std::uint64_t BitsBetween(int first, int last)
{
    const std::uint64_t upTo = last == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (last + 1)) - 1;
    return upTo & (~std::uint64_t(0) << first);
}

}  // namespace

bool CTileMask::Resize(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_columns = (m_width + kTileSize - 1) >> kTileShift;
    m_rows = (m_height + kTileSize - 1) >> kTileShift;
    m_wordsPerRow = (m_columns + 63) / 64;
    const std::int64_t words = static_cast<std::int64_t>(m_wordsPerRow) * m_rows;
    m_bits.reset(words > 0 ? new (std::nothrow) std::uint64_t[words]() : nullptr);
    m_firstRow = 0;
    m_lastRow = -1;
    if (words > 0 && m_bits == nullptr) {
        m_width = m_height = m_columns = m_rows = m_wordsPerRow = 0;
        return false;
    }
    return true;
}

void CTileMask::Mark(const CRect& box)
{
    if (box.IsRectEmpty() || m_bits == nullptr)
        return;
    const int firstColumn = box.left >> kTileShift;
    const int lastColumn = (box.right - 1) >> kTileShift;
    const int firstRow = box.top >> kTileShift;
    const int lastRow = (box.bottom - 1) >> kTileShift;
    for (int row = firstRow; row <= lastRow; ++row) {
        std::uint64_t* const words = Row(row);
        for (int word = firstColumn >> 6; word <= lastColumn >> 6; ++word)
            words[word] |= BitsBetween(std::max(firstColumn - word * 64, 0), std::min(lastColumn - word * 64, 63));
    }
    m_firstRow = std::min(m_firstRow > m_lastRow ? firstRow : m_firstRow, firstRow);
    m_lastRow = std::max(m_lastRow, lastRow);
}

void CTileMask::MarkAll()
{
    Mark(CRect(0, 0, m_width, m_height));
}

void CTileMask::Clear()
{
    if (IsEmpty())
        return;
    std::fill(Row(m_firstRow), Row(m_lastRow + 1), std::uint64_t(0));
    m_firstRow = 0;
    m_lastRow = -1;
}

void CTileMask::Add(const CTileMask& other)
{
    if (other.IsEmpty() || other.m_wordsPerRow != m_wordsPerRow || other.m_rows != m_rows)
        return;
    const std::uint64_t* from = other.Row(other.m_firstRow);
    for (std::uint64_t* to = Row(other.m_firstRow); to != Row(other.m_lastRow + 1); ++to, ++from)
        *to |= *from;
    m_firstRow = IsEmpty() ? other.m_firstRow : std::min(m_firstRow, other.m_firstRow);
    m_lastRow = std::max(m_lastRow, other.m_lastRow);
}

void CTileMask::AddTo(CRegion& region) const
{
    ForEachRun([&region](const CRect& run) { region.Add(run); });
}

long long CTileMask::Area() const
{
    long long area = 0;
    ForEachRun([&area](const CRect& run) { area += static_cast<long long>(run.Width()) * run.Height(); });
    return area;
}
