#pragma once
// Pens, brushes and bitmaps: the drawing objects a device context selects.
// Pens and brushes are plain values; making one allocates nothing.
#include <cstdint>
#include <memory>

#include "platform/gdi/Colour.h"
#include "platform/gdi/Geometry.h"
#include "platform/gdi/TileMask.h"

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
//
// Beside the pixels it keeps where they were drawn, so that clearing a frame and putting
// it on a window touch only what changed: every drawing call of a context marks the tiles
// of the box it drew in, in m_drawn. A clear of the whole bitmap with the colour it already
// has outside m_drawn fills only m_drawn; a window shown this bitmap last gets only what
// changed since.
class CBitmap
{
public:
    // A new compatible bitmap is black. A size of 0 in either direction makes an empty bitmap.
    bool CreateCompatibleBitmap(CDC* dc, int width, int height);
    bool DeleteObject();
    // Code that writes m_pixels itself calls this afterwards, so that the next clear and
    // the next put cover the whole bitmap.
    void MarkAllDrawn();
    CRect Bounds() const { return CRect(0, 0, m_width, m_height); }

    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<std::uint32_t[]> m_pixels;

    // Outside m_drawn every pixel is m_background.
    CTileMask m_drawn;
    std::uint32_t m_background = ToSurfacePixel(RGB(0, 0, 0));
    // Since the bitmap was last put whole on the window m_shownOn (null when it never
    // was, or when the last put was not of all of it) at m_shownAt, its pixels changed
    // only within m_changed and m_drawn together. A put updates these, hence mutable.
    mutable CTileMask m_changed;
    mutable const void* m_shownOn = nullptr;
    mutable CPoint m_shownAt;
};

// The objects a new device context starts with: a black pen one pixel wide, a white brush.
CPen* GetStockBlackPen();
CBrush* GetStockWhiteBrush();
