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

std::string MnemonicText(const char* text, int* mnemonic)
{
    const std::string raw = text ? text : "";
    std::string shown;
    int characters = 0;  // UTF-8 lead bytes so far
    if (mnemonic)
        *mnemonic = -1;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&' && i + 1 < raw.size() && raw[++i] != '&' && mnemonic && *mnemonic < 0)
            *mnemonic = characters;
        characters += (static_cast<unsigned char>(raw[i]) & 0xC0) != 0x80;
        shown += raw[i];
    }
    return shown;
}

std::string StaticText(const char* text, DWORD style)
{
    return (style & SS_NOPREFIX) ? std::string(text ? text : "") : MnemonicText(text);
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
