#pragma once
// CDC: a device context. A memory context draws into the bitmap selected into it;
// a window context (from the window layer) receives block copies only.
//
// Rules the game relies on: all drawing is clipped to the bitmap; LineTo draws a
// Bresenham line that excludes its end point, with ties going to the smaller minor
// coordinate whichever way the line runs; Ellipse fills columns l..r-1 and rows t..b-1
// with the brush and outlines them with the pen; FillSolidRect leaves the background
// colour set; TextOut in opaque mode fills the text's cell with the background colour
// first and never antialiases.
#include <cstdint>
#include <string_view>

#include "platform/gdi/Colour.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Geometry.h"

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : std::uint32_t { SRCCOPY = 0x00CC0020 };

// Where a window context sends its block copies: implemented by the window layer.
class CDCTarget
{
public:
    virtual ~CDCTarget() = default;
    virtual void PutImage(int x, int y, int width, int height, const CBitmap& source, int sourceX, int sourceY) = 0;
};

class CDC
{
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    bool CreateCompatibleDC(CDC* dc);
    bool DeleteDC();
    bool IsCreated() const { return m_created; }

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CBitmap* SelectObject(CBitmap* bitmap);

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_position; }

    bool Ellipse(int left, int top, int right, int bottom);
    bool Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }

    COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside the bitmap

    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int width, int height, COLORREF colour);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_bkColour; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_bkMode; }

    bool TextOut(int x, int y, std::string_view text);
    CSize GetTextExtent(std::string_view text) const;

    bool BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, std::uint32_t rop);
    // A memory context: the source's whole bitmap, each pixel a scale x scale block, with its
    // top-left corner at (x, y); clipped to this bitmap.
    bool ScaleBlt(int x, int y, int scale, CDC* source);

    CPen* GetCurrentPen() const { return m_pen; }
    CBrush* GetCurrentBrush() const { return m_brush; }

    // Set by the window layer on contexts that stand for a window.
    CDCTarget* m_target = nullptr;

private:
    // Adds the box [left, right) x [top, bottom), clipped, to what the bitmap holds drawn.
    void Drew(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
    void Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, COLORREF colour);

    bool m_created = false;
    CPen* m_pen;
    CBrush* m_brush;
    CBitmap* m_bitmap = nullptr;
    CPoint m_position;
    COLORREF m_textColour = RGB(0, 0, 0);
    COLORREF m_bkColour = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
};

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// An image shown whole in an area of another size: the largest whole scale at which it fits
// (1 when it does not), centred; along an axis that the image overflows at 1, the middle shows.
struct CScaledPlacement
{
    int scale = 1;
    CPoint origin;
};
CScaledPlacement PlaceScaled(CSize image, CSize area);
