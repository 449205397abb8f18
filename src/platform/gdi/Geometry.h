#pragma once
// Integer points and rectangles of the drawing surface and the window layer.
// A rectangle holds its left and top edges and excludes its right and bottom ones.

struct CPoint
{
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}

    constexpr bool operator==(const CPoint&) const = default;
};

struct CSize
{
    int cx = 0;
    int cy = 0;

    constexpr bool operator==(const CSize&) const = default;
};

struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }

    // The classic point-in-rectangle test: left <= x < right and top <= y < bottom.
    constexpr bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    constexpr bool operator==(const CRect&) const = default;
};
