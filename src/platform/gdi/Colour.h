#pragma once
#include <cstdint>

// A colour as 0x00BBGGRR: red in the low byte, blue in the high one.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}

constexpr std::uint8_t GetRValue(COLORREF c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t GetGValue(COLORREF c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(COLORREF c) { return std::uint8_t((c >> 16) & 0xFF); }

// The surface stores 0xAARRGGBB so that Qt can show it as RGB32 without a copy.
constexpr std::uint32_t ToSurfacePixel(COLORREF c)
{
    return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

constexpr COLORREF FromSurfacePixel(std::uint32_t p)
{
    return RGB(std::uint8_t((p >> 16) & 0xFF), std::uint8_t((p >> 8) & 0xFF), std::uint8_t(p & 0xFF));
}
