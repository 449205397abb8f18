#include "platform/wnd/DialogLayout.h"

#include <algorithm>

int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

DialogBaseUnits BaseUnitsFromAlphabet(int alphabetWidth, int height)
{
    return DialogBaseUnits{(alphabetWidth / 26 + 1) / 2, height};
}

int DialogPointSize(const DialogTemplate& dialogTemplate)
{
    return dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8;
}

CRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy)
{
    const int left = MulDiv(x, units.x, 4);
    const int top = MulDiv(y, units.y, 8);
    return CRect(left, top, left + MulDiv(cx, units.x, 4), top + MulDiv(cy, units.y, 8));
}

std::string StaticText(const char* text, DWORD style)
{
    const std::string raw = text ? text : "";
    if (style & SS_NOPREFIX)
        return raw;
    std::string shown;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&' && i + 1 < raw.size())
            ++i;
        shown += raw[i];
    }
    return shown;
}

int WholeLinesHeight(int height, int lineHeight)
{
    if (lineHeight <= 0)
        return height;
    return std::min(height, std::max(lineHeight, height / lineHeight * lineHeight));
}

DialogLayout LayOutDialog(const DialogTemplate& dialogTemplate, const DialogBaseUnits& units, int lineHeight)
{
    DialogLayout layout;
    const CRect client = MapDialogRect(units, 0, 0, dialogTemplate.cx, dialogTemplate.cy);
    layout.client = CSize{client.Width(), client.Height()};
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        CRect rect = MapDialogRect(units, item.x, item.y, item.cx, item.cy);
        if (item.kind != DialogControl::Static) {
            layout.items.push_back({item.kind, item.text ? item.text : "", item.id, rect});
            continue;
        }
        rect.bottom = rect.top + WholeLinesHeight(rect.Height(), lineHeight);
        layout.items.push_back({item.kind, StaticText(item.text, item.style), item.id, rect});
    }
    return layout;
}

int WindowEdge(const CREATESTRUCT& cs, bool topLevel)
{
    if (topLevel)
        return 0;
    if (cs.dwExStyle & WS_EX_CLIENTEDGE)
        return 2;
    return (cs.style & WS_BORDER) ? 1 : 0;
}
