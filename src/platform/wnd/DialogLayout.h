#pragma once
// The classic dialog and window managers' rules that every backend shares: dialog units,
// the dialog font's default size, what a static text shows and how many of its lines, and a
// child window's edge from its styles. A backend measures its font, has the template laid
// out here and only places the items it gets.
#include <string>
#include <vector>

#include "platform/gdi/Geometry.h"
#include "platform/wnd/Messages.h"
#include "platform/wnd/Resources.h"

// value * numerator / denominator, rounded to the nearest whole number, halves away from zero.
int MulDiv(int value, int numerator, int denominator);

struct DialogBaseUnits
{
    int x;  // average character width in pixels
    int y;  // character height in pixels
};

// From the width of the 52 letters A-Z and a-z in the dialog font, their average rounded as
// the classic dialog manager measures it, and the font's character height.
DialogBaseUnits BaseUnitsFromAlphabet(int alphabetWidth, int height);

// The point size of the template's font: 8 when it gives none.
int DialogPointSize(const DialogTemplate& dialogTemplate);

// Dialog units to pixels: a quarter of the average character width across, an eighth of the
// character height down.
CRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy);

// What a text of a menu, a button or a static shows: '&' marks the next character as the
// mnemonic and is not shown, "&&" shows one '&'. mnemonic (when given) gets the place of the
// first mnemonic in the shown text, in characters, or -1 when it has none.
std::string MnemonicText(const char* text, int* mnemonic = nullptr);

// What a static text shows: its MnemonicText, or with SS_NOPREFIX the text as it is.
std::string StaticText(const char* text, DWORD style);

// The height of a static of this height that shows only the lines that fit whole, as the
// classic static control does; at least one line, and never more than its own height.
int WholeLinesHeight(int height, int lineHeight);

struct DialogItemLayout
{
    DialogControl kind;
    std::string text;  // a static's as shown; a button's with its mnemonic mark for the toolkit; an edit's as it is
    UINT id;
    CRect rect;        // in pixels of the dialog's client area
};

struct DialogLayout
{
    CSize client;
    std::vector<DialogItemLayout> items;
};

// The template in pixels of a font with these units and line spacing.
DialogLayout LayOutDialog(const DialogTemplate& dialogTemplate, const DialogBaseUnits& units, int lineHeight);

// A child window's edge in pixels from its styles: 2 for a client edge, 1 for a border, else 0.
// A top-level window's border is the window manager's: 0.
int WindowEdge(const CREATESTRUCT& cs, bool topLevel);
