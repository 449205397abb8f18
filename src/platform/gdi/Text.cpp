// TextOut and GetTextExtent in the default font, whose glyphs are baked into FontData.cpp:
// drawing a text only unpacks their rows, one byte of eight pixels at a time.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/gdi/DC.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Surface.h"

bool CDC::TextOut(int x, int y, std::string_view text)
{
    const Surface surface = Surface::Of(m_bitmap);
    if (surface.IsEmpty())
        return m_created;
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + Font::kHeight, surface.height);
    if (top >= bottom)
        return m_created;
    const std::uint32_t ink = ToSurfacePixel(m_textColour);
    const std::uint32_t paper = ToSurfacePixel(m_bkColour);
    const bool opaque = m_bkMode == OPAQUE;
    // The pixels of every half row, so that an opaque row of a whole cell is two copies: faster
    // than a pixel at a time at any optimisation level.
    static_assert(Font::kMaxWidth == 8, "a row is two halves of four pixels");
    std::uint32_t quads[16][4];
    for (unsigned half = 0; half < 16; ++half)
        for (unsigned i = 0; i < 4; ++i)
            quads[half][i] = half & (8u >> i) ? ink : paper;

    std::int64_t cellLeft = x;
    for (const char c : text)
    {
        if (cellLeft >= surface.width)
            break;
        const int index = Font::IndexOf(c);
        if (index < 0)
            continue;
        const Font::Glyph& glyph = kDefaultFont.glyphs[index];
        const std::int64_t glyphLeft = cellLeft;
        cellLeft += glyph.advance;
        const std::int64_t left = std::max<std::int64_t>(glyphLeft, 0);
        const std::int64_t right = std::min<std::int64_t>(cellLeft, surface.width);
        if (left >= right)
            continue;
        // A cell clipped on the left starts that many pixels into its rows.
        const unsigned skip = unsigned(left - glyphLeft);
        const int count = int(right - left);
        for (std::int64_t py = top; py < bottom; ++py)
        {
            const unsigned bits = unsigned(glyph.rows[py - y]) << skip;
            std::uint32_t* row = surface.pixels + py * surface.width + left;
            if (opaque && count == Font::kMaxWidth)
            {
                std::memcpy(row, quads[bits >> 4], sizeof quads[0]);
                std::memcpy(row + 4, quads[bits & 0xF], sizeof quads[0]);
            }
            else if (opaque)
            {
                for (int i = 0; i < count; ++i)
                    row[i] = bits & (0x80u >> i) ? ink : paper;
            }
            else
            {
                for (int i = 0; i < count; ++i)
                {
                    if (bits & (0x80u >> i))
                        row[i] = ink;
                }
            }
        }
    }
    Drew(x, top, cellLeft, bottom);
    return m_created;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    std::int64_t width = 0;
    for (const char c : text)
    {
        const int index = Font::IndexOf(c);
        if (index >= 0)
            width += kDefaultFont.glyphs[index].advance;
    }
    return CSize{int(std::min<std::int64_t>(width, INT_MAX)), Font::kHeight};
}
