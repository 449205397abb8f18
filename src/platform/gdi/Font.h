#pragma once
// The default font as data: DejaVu Sans Mono Bold at 14 pixels in 8 x 16 cells, baked into
// FontData.cpp by tools/bakefont (scripts/bake-font.sh), so that text needs no font engine
// at run time and draws the same pixels on every machine.
#include <cstdint>

struct Font
{
    static constexpr int kHeight = 16;
    static constexpr int kMaxWidth = 8;  // a glyph's row is one byte
    static constexpr int kFirstChar = 32;  // printable ASCII, space to tilde
    static constexpr int kLastChar = 126;
    static constexpr int kBox = kLastChar - kFirstChar + 1;  // the glyph of every other character
    static constexpr int kGlyphCount = kBox + 1;

    struct Glyph
    {
        std::uint8_t advance;  // the cell's width, at most kMaxWidth
        std::uint8_t rows[kHeight];  // top row first; bit 7 is the cell's leftmost pixel
    };

    Glyph glyphs[kGlyphCount];

    // The glyph of one byte of UTF-8 text; -1 for the continuation bytes of a character, so that
    // each character outside the range shows as one box.
    static constexpr int IndexOf(char c)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstChar && byte <= kLastChar)
            return byte - kFirstChar;
        return byte >= 0x80 && byte < 0xC0 ? -1 : kBox;
    }
};

extern const Font kDefaultFont;
