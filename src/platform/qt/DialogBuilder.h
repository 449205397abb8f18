#pragma once
// Dialogs from dialog templates, laid out by the window layer (DialogLayout.h) in the
// metrics of the dialog font.
#include <QFont>

#include "platform/wnd/DialogLayout.h"

class CDialog;
class QDialog;
class QWidget;

// The system's UI font at the template's point size (the template's own face names a font
// of another system).
QFont DialogFont(const DialogTemplate& dialogTemplate);
// The dialog base units of a font, measured on its 52 letters.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A modal dialog: the title, a fixed client size, static texts (QLabel), edits (QLineEdit)
// and push buttons, each named by its id. The button with id IDOK ends it with IDOK (with
// texts, when their OnOK agrees), one with IDCANCEL with IDCANCEL; closing it ends it with
// 0 (rejected). With texts, the controls they name show them.
QDialog* BuildDialog(const DialogTemplate& dialogTemplate, QWidget* owner, CDialog* texts = nullptr);
