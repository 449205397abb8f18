#include "platform/qt/DialogBuilder.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"

namespace {

int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// A static text shows '&' as the mark of a mnemonic: the mark itself is not shown and "&&"
// shows one '&'. The statics here lead to no control, so the mnemonic has nothing to do.
QString StaticText(const char* text, DWORD style)
{
    const QString raw = QString::fromUtf8(text ? text : "");
    if (style & SS_NOPREFIX)
        return raw;
    QString shown;
    shown.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&' && i + 1 < raw.size())
            ++i;
        shown += raw[i];
    }
    return shown;
}

}  // namespace

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(alphabet / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int cx, int cy)
{
    return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8));
}

QDialog* BuildDialog(const DialogTemplate& dialogTemplate, QWidget* owner)
{
    auto* const dialog = new QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.title ? dialogTemplate.title : ""));
    dialog->setFont(DialogFont(dialogTemplate));
    const DialogBaseUnits units = BaseUnitsOf(dialog->font());
    dialog->setFixedSize(MapDialogRect(units, 0, 0, dialogTemplate.cx, dialogTemplate.cy).size());

    for (const DialogItemTemplate& item : dialogTemplate.items) {
        const QRect geometry = MapDialogRect(units, item.x, item.y, item.cx, item.cy);
        if (item.kind == DialogControl::Static) {
            auto* const label = new QLabel(StaticText(item.text, item.style), dialog);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            // Only lines that fit whole are shown, as the classic static control does: a
            // one-line static too narrow for its text shows its first words, not a sliver
            // of the wrapped line below.
            const int lineHeight = QFontMetrics(dialog->font()).lineSpacing();
            const int shownHeight = std::max(lineHeight, geometry.height() / lineHeight * lineHeight);
            label->setGeometry(geometry.x(), geometry.y(), geometry.width(), std::min(geometry.height(), shownHeight));
            continue;
        }
        auto* const button = new QPushButton(QString::fromUtf8(item.text ? item.text : ""), dialog);
        button->setGeometry(geometry);
        if (item.kind == DialogControl::DefPushButton)
            button->setDefault(true);
        const UINT id = item.id;
        if (id == IDOK || id == IDCANCEL)
            QObject::connect(button, &QPushButton::clicked, dialog, [dialog, id] { dialog->done(int(id)); });
    }
    return dialog;
}

int backend::RunModalDialog(const DialogTemplate& dialogTemplate, CNativeWindow* owner)
{
    const QPointer<QWidget> ownerWindow = owner ? owner->window() : nullptr;
    // Held by a guarded pointer: destroying the owner during exec() takes the dialog with it.
    const QPointer<QDialog> dialog = BuildDialog(dialogTemplate, ownerWindow);
    const int result = dialog->exec();
    delete dialog.data();
    // The owner takes the keys back, as it does when a modal dialog ends; left to the window
    // manager, the focus could stay nowhere.
    if (ownerWindow)
        ownerWindow->activateWindow();
    return result;
}
