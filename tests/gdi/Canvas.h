#pragma once
// A memory context on a black bitmap of its own, drawing with a white pen and a red brush.
#include "platform/gdi/DC.h"

struct Canvas
{
    CPen pen{PS_SOLID, 1, RGB(255, 255, 255)};
    CBrush brush{RGB(255, 0, 0)};
    CDC dc;
    CBitmap bitmap;

    Canvas(int width, int height)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, width, height);
        dc.SelectObject(&bitmap);
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }
};
