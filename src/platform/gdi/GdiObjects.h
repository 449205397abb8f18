#pragma once
// Pens, brushes and bitmaps: the drawing objects a device context selects.
// Pens and brushes are plain values; making one allocates nothing.
#include <cstdint>
#include <memory>

#include "platform/gdi/Colour.h"

class CDC;

enum : int { PS_SOLID = 0 };

class CPen
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

    bool CreatePen(int style, int width, COLORREF colour);
    bool DeleteObject();

    bool m_created = false;
    COLORREF m_colour = RGB(0, 0, 0);
    int m_width = 1;
};

class CBrush
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

    bool CreateSolidBrush(COLORREF colour);
    bool DeleteObject();

    bool m_created = false;
    COLORREF m_colour = RGB(255, 255, 255);
};

// A 32-bit pixel buffer, 0xAARRGGBB per pixel, rows of m_width pixels.
class CBitmap
{
public:
    // A new compatible bitmap is black. A size of 0 in either direction makes an empty bitmap.
    bool CreateCompatibleBitmap(CDC* dc, int width, int height);
    bool DeleteObject();

    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<std::uint32_t[]> m_pixels;
};

// The objects a new device context starts with: a black pen one pixel wide, a white brush.
CPen* GetStockBlackPen();
CBrush* GetStockWhiteBrush();
