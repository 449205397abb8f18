#pragma once
// A memory context with its own black bitmap, read back as a character map.
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/DC.h"

namespace gditest {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

struct TestSurface
{
    CDC dc;
    CBitmap bitmap;

    TestSurface(int width, int height)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, width, height);
        dc.SelectObject(&bitmap);
    }

    // One string per row: '.' for black, '#' white, 'r' red, 'g' green, 'b' blue, '?' any other.
    std::vector<std::string> Map() const
    {
        const std::pair<COLORREF, char> legend[] = {
            {kBlack, '.'}, {kWhite, '#'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}};
        std::vector<std::string> rows(std::size_t(bitmap.m_height), std::string(std::size_t(bitmap.m_width), '?'));
        for (int y = 0; y < bitmap.m_height; ++y)
            for (int x = 0; x < bitmap.m_width; ++x)
                for (const auto& [colour, mark] : legend)
                    if (bitmap.m_pixels[std::size_t(y) * std::size_t(bitmap.m_width) + std::size_t(x)] ==
                        ToSurfacePixel(colour))
                        rows[y][x] = mark;
        return rows;
    }

    int Count(char mark) const
    {
        int count = 0;
        for (const std::string& row : Map())
            for (const char c : row)
                count += c == mark;
        return count;
    }
};

}  // namespace gditest
