#pragma once
// Dialogs from dialog templates. A template measures in dialog units: a quarter of the
// dialog font's average character width across, an eighth of its character height down.
#include <QFont>
#include <QRect>

#include "platform/wnd/Resources.h"

class QDialog;
class QWidget;

struct DialogBaseUnits
{
    int x;  // average character width in pixels
    int y;  // character height in pixels
};

// The system's UI font at the template's point size (the template's own face names a font
// of another system).
QFont DialogFont(const DialogTemplate& dialogTemplate);
// The average width is that of the 52 letters of the alphabet, rounded, as the classic
// dialog manager measures it.
DialogBaseUnits BaseUnitsOf(const QFont& font);
// Dialog units to pixels, each value rounded to the nearest pixel.
QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy);

// A modal dialog: the title, a fixed client size, static texts (QLabel) and push buttons.
// The button with id IDOK ends it with IDOK, one with IDCANCEL with IDCANCEL; closing it
// ends it with 0 (rejected).
QDialog* BuildDialog(const DialogTemplate& dialogTemplate, QWidget* owner);
