#pragma once
// Internal to the drawing surface: the pixel buffer a context draws into, and the
// clipped spans every primitive is made of. Coordinates arrive as 64-bit values so
// that callers can pass sums of ints without overflow.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "platform/gdi/GdiObjects.h"

// Products of two coordinate differences need more than 64 bits when the coordinates are far apart.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

static_assert(sizeof(wchar_t) == sizeof(std::uint32_t), "long runs are filled as 32-bit wide characters");

// Fills n pixels. A long run (a whole frame's clear above all) goes to the C library's
// wide-character fill, which picks the machine's fastest stores at run time and writes a
// 32-bit pattern as fast as memset writes bytes: about 1.6 times the speed of the
// baseline vector stores the compiler may emit. Short runs stay inline, in blocks of a
// fixed size that let the compiler use its widest stores at any optimisation level.
inline void FillPixels(std::uint32_t* p, std::int64_t n, std::uint32_t pixel)
{
    constexpr std::int64_t kLibraryRun = 256;
    if (n >= kLibraryRun)
    {
        std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(pixel), static_cast<std::size_t>(n));
        return;
    }
    constexpr std::int64_t kBlock = 16;
    for (; n >= kBlock; n -= kBlock, p += kBlock)
        std::fill_n(p, kBlock, pixel);
    std::fill_n(p, n, pixel);
}

struct Surface
{
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    // The bitmap's buffer, or an empty surface when there is nothing to draw into.
    static Surface Of(const CBitmap* bitmap)
    {
        if (bitmap == nullptr || bitmap->m_pixels == nullptr || bitmap->m_width <= 0 || bitmap->m_height <= 0)
            return {};
        return {bitmap->m_pixels.get(), bitmap->m_width, bitmap->m_height};
    }

    bool IsEmpty() const { return pixels == nullptr; }

    // Columns left..right (both inclusive) of row y, clipped.
    void FillSpan(std::int64_t y, std::int64_t left, std::int64_t right, std::uint32_t pixel) const
    {
        if (y < 0 || y >= height)
            return;
        left = std::max<std::int64_t>(left, 0);
        right = std::min<std::int64_t>(right, width - 1);
        if (left > right)
            return;
        FillPixels(pixels + y * width + left, right - left + 1, pixel);
    }

    // The rectangle [left, right) x [top, bottom), clipped.
    void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                  std::uint32_t pixel) const
    {
        left = std::max<std::int64_t>(left, 0);
        top = std::max<std::int64_t>(top, 0);
        right = std::min<std::int64_t>(right, width);
        bottom = std::min<std::int64_t>(bottom, height);
        if (left >= right || top >= bottom)
            return;
        if (left == 0 && right == width)
        {
            // Whole rows are one contiguous run.
            FillPixels(pixels + top * width, (bottom - top) * width, pixel);
            return;
        }
        for (std::int64_t y = top; y < bottom; ++y)
            FillPixels(pixels + y * width + left, right - left, pixel);
    }
};
