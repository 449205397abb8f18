// The default font's glyphs. This executable links the drawing surface alone, with no Qt
// and no application of any kind, so every glyph here comes from the baked data.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"

namespace {

using Map = std::vector<std::string>;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

// The text's cell drawn in opaque mode, one string per row: '#' ink, '.' paper, '?' anything else.
Map Draw(std::string_view text)
{
    const CSize extent = CDC().GetTextExtent(text);
    Canvas canvas(extent.cx, extent.cy);
    canvas.dc.SetTextColor(kGreen);
    canvas.dc.SetBkColor(kRed);
    EXPECT_TRUE(canvas.dc.TextOut(0, 0, text));
    Map rows(extent.cy, std::string(extent.cx, '?'));
    for (int i = 0; i < extent.cx * extent.cy; ++i) {
        const std::uint32_t pixel = canvas.bitmap.m_pixels[i];
        rows[i / extent.cx][i % extent.cx] = pixel == ToSurfacePixel(kGreen) ? '#' : pixel == ToSurfacePixel(kRed) ? '.' : '?';
    }
    return rows;
}

// Columns left..left+width-1 of a drawing.
Map Columns(const Map& map, int left, int width)
{
    Map part;
    for (const std::string& row : map)
        part.push_back(row.substr(left, width));
    return part;
}

const Map kBox = {"........", "........", "........", ".######.", ".#....#.", ".#....#.", ".#....#.", ".#....#.",
                  ".#....#.", ".#....#.", ".#....#.", ".#....#.", ".######.", "........", "........", "........"};

TEST(GdiFont, EightBySixteenCellsAndEveryPrintableCharacterItsOwnGlyph)
{
    CDC dc;
    EXPECT_EQ(dc.GetTextExtent(""), CSize(0, 16));
    EXPECT_EQ(dc.GetTextExtent("Score:-5"), CSize(64, 16));
    std::set<Map> glyphs;
    for (char c = ' '; c <= '~'; ++c) {
        const Map glyph = Draw(std::string(1, c));
        ASSERT_EQ(glyph.size(), 16u) << c;
        ASSERT_EQ(glyph[0], std::string(8, '.')) << c;  // the top row is clear in every glyph
        for (const std::string& row : glyph)
            ASSERT_EQ(row.find('?'), std::string::npos) << c;  // ink and paper, nothing else
        EXPECT_NE(glyph, kBox) << c;
        glyphs.insert(glyph);
    }
    EXPECT_EQ(glyphs.size(), 95u);
    EXPECT_EQ(Draw(" "), Map(16, "........"));
    EXPECT_NE(Draw("0"), Draw("O"));
    EXPECT_NE(Draw("l"), Draw("1"));
    // Captured from the glyph Qt drew before the font was baked: the bits run left to right, rows top down.
    EXPECT_EQ(Draw("F"), (Map{"........", "........", "........", ".#######", ".##.....", ".##.....", ".##.....",
                              ".######.", ".##.....", ".##.....", ".##.....", ".##.....", ".##.....", "........",
                              "........", "........"}));
}

TEST(GdiFont, OneBoxForEachCharacterOutsidePrintableAsciiWhateverItsLength)
{
    for (const std::string_view text : {"\x01", "\t", "\x7f", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"})
        EXPECT_EQ(Draw(text), kBox) << int(static_cast<unsigned char>(text[0]));
    const Map mixed = Draw("A\xc3\xa9Z");
    ASSERT_EQ(mixed[0].size(), 24u);
    EXPECT_EQ(Columns(mixed, 0, 8), Draw("A"));
    EXPECT_EQ(Columns(mixed, 8, 8), kBox);
    EXPECT_EQ(Columns(mixed, 16, 8), Draw("Z"));
    // A continuation byte on its own belongs to no character and takes no room.
    CDC dc;
    EXPECT_EQ(dc.GetTextExtent("\xa9\x80"), CSize(0, 16));
}

TEST(GdiFont, TransparentTextWritesTheOpaqueInkOnlyAlsoWhenClipped)
{
    for (const CPoint at : {CPoint(2, 1), CPoint(-3, -2), CPoint(-11, 5), CPoint(30, 3)}) {
        Canvas opaque(40, 18), transparent(40, 18);
        for (CDC* dc : {&opaque.dc, &transparent.dc}) {
            dc->FillSolidRect(0, 0, 40, 18, kBlue);
            dc->SetTextColor(kGreen);
            dc->SetBkColor(kRed);
        }
        transparent.dc.SetBkMode(TRANSPARENT);
        opaque.dc.TextOut(at.x, at.y, "Sc:");
        transparent.dc.TextOut(at.x, at.y, "Sc:");
        int ink = 0;
        for (int i = 0; i < 40 * 18; ++i) {
            const bool isInk = opaque.bitmap.m_pixels[i] == ToSurfacePixel(kGreen);
            ink += isInk;
            ASSERT_EQ(transparent.bitmap.m_pixels[i], ToSurfacePixel(isInk ? kGreen : kBlue)) << at.x << "," << at.y;
        }
        EXPECT_GT(ink, 10) << at.x << "," << at.y;
    }
}

}  // namespace
