// The device context's state, selection, pixels, fills and block copies. Lines,
// ellipses and text live in their own files.
#include "platform/gdi/DC.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "platform/gdi/Surface.h"

CDC::CDC() : m_pen(GetStockBlackPen()), m_brush(GetStockWhiteBrush()) {}

// The bitmap is never touched here: its owner may already have destroyed it.
CDC::~CDC() = default;

bool CDC::CreateCompatibleDC(CDC*)
{
    // A memory context starts from the defaults, also when this object held one before.
    DeleteDC();
    m_created = true;
    return true;
}

bool CDC::DeleteDC()
{
    const bool was = m_created;
    m_created = false;
    m_pen = GetStockBlackPen();
    m_brush = GetStockWhiteBrush();
    m_bitmap = nullptr;
    m_position = CPoint();
    m_textColour = RGB(0, 0, 0);
    m_bkColour = RGB(255, 255, 255);
    m_bkMode = OPAQUE;
    return was;
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (pen == nullptr)
        return nullptr;
    return std::exchange(m_pen, pen);
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (brush == nullptr)
        return nullptr;
    return std::exchange(m_brush, brush);
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    // Only a memory context holds a bitmap.
    if (bitmap == nullptr || !m_created)
        return nullptr;
    return std::exchange(m_bitmap, bitmap);
}

CPoint CDC::MoveTo(int x, int y)
{
    return std::exchange(m_position, CPoint(x, y));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    const Surface surface = Surface::Of(m_bitmap);
    if (x < 0 || y < 0 || x >= surface.width || y >= surface.height)
        return CLR_INVALID;
    const std::uint32_t pixel = ToSurfacePixel(colour);
    surface.pixels[std::int64_t(y) * surface.width + x] = pixel;
    Drew(x, y, std::int64_t(x) + 1, std::int64_t(y) + 1);
    return FromSurfacePixel(pixel);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    const Surface surface = Surface::Of(m_bitmap);
    if (x < 0 || y < 0 || x >= surface.width || y >= surface.height)
        return CLR_INVALID;
    return FromSurfacePixel(surface.pixels[std::int64_t(y) * surface.width + x]);
}

void CDC::Drew(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, m_bitmap->m_width);
    bottom = std::min<std::int64_t>(bottom, m_bitmap->m_height);
    if (left < right && top < bottom)
        m_bitmap->m_drawn.Mark(CRect(int(left), int(top), int(right), int(bottom)));
}

void CDC::Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, COLORREF colour)
{
    m_bkColour = colour;
    const Surface surface = Surface::Of(m_bitmap);
    if (surface.IsEmpty())
        return;
    const std::uint32_t pixel = ToSurfacePixel(colour);
    if (left > 0 || top > 0 || right < surface.width || bottom < surface.height) {
        surface.FillRect(left, top, right, bottom, pixel);
        Drew(left, top, right, bottom);
        return;
    }
    // A clear of the whole bitmap: with the colour it already has outside what was drawn,
    // only what was drawn needs it; either way the bitmap is one colour again.
    CBitmap& bitmap = *m_bitmap;
    if (pixel == bitmap.m_background) {
        bitmap.m_drawn.ForEachRun(
            [&](const CRect& run) { surface.FillRect(run.left, run.top, run.right, run.bottom, pixel); });
        bitmap.m_changed.Add(bitmap.m_drawn);
    } else {
        surface.FillRect(left, top, right, bottom, pixel);
        bitmap.m_background = pixel;
        bitmap.m_changed.MarkAll();
    }
    bitmap.m_drawn.Clear();
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour)
{
    Fill(rect.left, rect.top, rect.right, rect.bottom, colour);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF colour)
{
    Fill(x, y, std::int64_t(x) + width, std::int64_t(y) + height, colour);
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    return std::exchange(m_textColour, colour);
}

COLORREF CDC::SetBkColor(COLORREF colour)
{
    return std::exchange(m_bkColour, colour);
}

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_bkMode, mode);
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, std::uint32_t rop)
{
    if (rop != SRCCOPY || source == nullptr)
        return false;
    const Surface from = Surface::Of(source->m_bitmap);
    if (from.IsEmpty())
        return false;

    // Columns j and rows i of the request, kept to those the source holds.
    std::int64_t j0 = std::max<std::int64_t>(0, -std::int64_t(sourceX));
    std::int64_t j1 = std::min<std::int64_t>(width, std::int64_t(from.width) - sourceX);
    std::int64_t i0 = std::max<std::int64_t>(0, -std::int64_t(sourceY));
    std::int64_t i1 = std::min<std::int64_t>(height, std::int64_t(from.height) - sourceY);

    if (m_target != nullptr)
    {
        // The window clips to itself; it is only ever handed pixels that exist.
        const std::int64_t left = x + j0;
        const std::int64_t top = y + i0;
        if (j0 >= j1 || i0 >= i1 || left > INT_MAX || top > INT_MAX)
            return true;
        m_target->PutImage(int(left), int(top), int(j1 - j0), int(i1 - i0), *source->m_bitmap, int(sourceX + j0),
                           int(sourceY + i0));
        return true;
    }

    const Surface to = Surface::Of(m_bitmap);
    j0 = std::max<std::int64_t>(j0, -std::int64_t(x));
    j1 = std::min<std::int64_t>(j1, std::int64_t(to.width) - x);
    i0 = std::max<std::int64_t>(i0, -std::int64_t(y));
    i1 = std::min<std::int64_t>(i1, std::int64_t(to.height) - y);
    if (to.IsEmpty() || j0 >= j1 || i0 >= i1)
        return m_created;

    const auto copyRow = [&](std::int64_t i) {
        std::memmove(to.pixels + (y + i) * to.width + x + j0, from.pixels + (sourceY + i) * from.width + sourceX + j0,
                     std::size_t(j1 - j0) * sizeof(std::uint32_t));
    };
    // A copy within one bitmap runs against the direction of the shift so no row is read after it is overwritten.
    if (to.pixels == from.pixels && y > sourceY)
        for (std::int64_t i = i1 - 1; i >= i0; --i)
            copyRow(i);
    else
        for (std::int64_t i = i0; i < i1; ++i)
            copyRow(i);
    Drew(x + j0, y + i0, x + j1, y + i1);
    return m_created;
}

bool CDC::ScaleBlt(int x, int y, int scale, CDC* source)
{
    const Surface from = Surface::Of(source == nullptr ? nullptr : source->m_bitmap);
    const Surface to = Surface::Of(m_bitmap);
    if (from.IsEmpty() || to.IsEmpty() || scale < 1)
        return false;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(x) + std::int64_t(from.width) * scale, to.width);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + std::int64_t(from.height) * scale, to.height);
    if (left >= right || top >= bottom)
        return true;
    for (std::int64_t row = top; row < bottom; ++row) {
        std::uint32_t* const out = to.pixels + row * to.width;
        // The rows that repeat a source row are copies of its first.
        if (row > top && (row - y) % scale != 0) {
            std::memcpy(out + left, out - to.width + left, std::size_t(right - left) * sizeof(std::uint32_t));
            continue;
        }
        const std::uint32_t* const in = from.pixels + (row - y) / scale * from.width;
        for (std::int64_t column = left; column < right; ++column)
            out[column] = in[(column - x) / scale];
    }
    Drew(left, top, right, bottom);
    return true;
}

CScaledPlacement PlaceScaled(CSize image, CSize area)
{
    CScaledPlacement placement;
    if (image.cx > 0 && image.cy > 0)
        placement.scale = std::max(1, std::min(area.cx / image.cx, area.cy / image.cy));
    placement.origin = CPoint((area.cx - image.cx * placement.scale) / 2, (area.cy - image.cy * placement.scale) / 2);
    return placement;
}
