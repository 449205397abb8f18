#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

bool CPen::CreatePen(int, int width, COLORREF colour)
{
    // Only solid pens exist; every line is one pixel wide whatever the width.
    m_created = true;
    m_colour = colour;
    m_width = width;
    return true;
}

bool CPen::DeleteObject()
{
    // Stock objects outlive every deletion, as they do on the classic platform.
    if (this == GetStockBlackPen() || !m_created)
        return false;
    m_created = false;
    return true;
}

bool CBrush::CreateSolidBrush(COLORREF colour)
{
    m_created = true;
    m_colour = colour;
    return true;
}

bool CBrush::DeleteObject()
{
    if (this == GetStockWhiteBrush() || !m_created)
        return false;
    m_created = false;
    return true;
}

bool CBitmap::CreateCompatibleBitmap(CDC*, int width, int height)
{
    DeleteObject();
    const std::size_t w = std::size_t(std::max(width, 0));
    const std::size_t h = std::size_t(std::max(height, 0));
    if (w == 0 || h == 0)
        return true;
    // A size no memory can hold is a failure, not an exception through the game.
    if (w * h > std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t) / 2)
        return false;
    m_pixels.reset(new (std::nothrow) std::uint32_t[w * h]);
    if (m_pixels == nullptr || !m_drawn.Resize(int(w), int(h)) || !m_changed.Resize(int(w), int(h))) {
        DeleteObject();
        return false;
    }
    m_background = ToSurfacePixel(RGB(0, 0, 0));
    std::fill_n(m_pixels.get(), w * h, m_background);
    m_width = int(w);
    m_height = int(h);
    return true;
}

bool CBitmap::DeleteObject()
{
    // A context that still has this bitmap selected sees an empty bitmap and draws nothing.
    const bool had = m_pixels != nullptr;
    m_pixels.reset();
    m_width = 0;
    m_height = 0;
    m_drawn.Resize(0, 0);
    m_changed.Resize(0, 0);
    m_shownOn = nullptr;
    return had;
}

void CBitmap::MarkAllDrawn()
{
    m_drawn.MarkAll();
}

CPen* GetStockBlackPen()
{
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return &pen;
}

CBrush* GetStockWhiteBrush()
{
    static CBrush brush(RGB(255, 255, 255));
    return &brush;
}
