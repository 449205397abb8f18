#pragma once
// CTileMask: which 16 x 16 tiles of a bitmap something was drawn in, a bit a tile.
//
// Every drawing call marks the tiles of its box: a few word operations whatever the box's
// size and however many boxes came before, so that keeping track costs a frame of a
// hundred scattered bullets next to nothing. The tiles are read back as runs: the marked
// tiles of one tile row that lie side by side, as one rectangle clipped to the bitmap.
// The bits are allocated with the bitmap, never while a frame is drawn.
#include <cstdint>
#include <memory>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/Region.h"

class CTileMask
{
public:
    static constexpr int kTileShift = 4;
    static constexpr int kTileSize = 1 << kTileShift;

    // Tiles for a bitmap of this size, none marked; false when there is no memory for them.
    bool Resize(int width, int height);
    // Marks the tiles box touches; box lies within the bitmap.
    void Mark(const CRect& box);
    void MarkAll();
    void Clear();
    bool IsEmpty() const { return m_firstRow > m_lastRow; }
    // Marks every tile other marks; other is of a bitmap of the same size.
    void Add(const CTileMask& other);
    // Adds the runs to region.
    void AddTo(CRegion& region) const;
    // The pixels of the bitmap within marked tiles.
    long long Area() const;

    // Calls visit(const CRect&) for each run, row by row from the top, left to right.
    template <typename Visit>
    void ForEachRun(Visit visit) const;

private:
    std::uint64_t* Row(int row) const { return m_bits.get() + static_cast<std::int64_t>(row) * m_wordsPerRow; }

    int m_width = 0;
    int m_height = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_wordsPerRow = 0;
    std::unique_ptr<std::uint64_t[]> m_bits;
    // The tile rows that may hold a mark, so that clearing and reading skip the rest.
    int m_firstRow = 0;
    int m_lastRow = -1;
};

template <typename Visit>
void CTileMask::ForEachRun(Visit visit) const
{
    for (int row = m_firstRow; row <= m_lastRow; ++row) {
        const std::uint64_t* const words = Row(row);
        const int top = row << kTileShift;
        const int bottom = top + kTileSize < m_height ? top + kTileSize : m_height;
        int column = 0;
        while (column < m_columns) {
            // The next marked tile, then the first unmarked one after it.
            const int word = column >> 6;
            const std::uint64_t marked = words[word] & (~std::uint64_t(0) << (column & 63));
            if (marked == 0) {
                column = (word + 1) << 6;
                continue;
            }
            const int first = (word << 6) + __builtin_ctzll(marked);
            int end = first;
            for (;;) {
                const int endWord = end >> 6;
                if (endWord * 64 >= m_columns)
                    break;
                const std::uint64_t unmarked = ~words[endWord] & (~std::uint64_t(0) << (end & 63));
                if (unmarked != 0) {
                    end = (endWord << 6) + __builtin_ctzll(unmarked);
                    break;
                }
                end = (endWord + 1) << 6;
            }
            if (end > m_columns)
                end = m_columns;
            const int right = end << kTileShift < m_width ? end << kTileShift : m_width;
            visit(CRect(first << kTileShift, top, right, bottom));
            column = end;
        }
    }
}
