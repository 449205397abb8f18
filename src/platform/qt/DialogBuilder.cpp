#include "platform/qt/DialogBuilder.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/Dialog.h"

namespace {

QRect ToQRect(const CRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The controls named in the dialog's texts show them.
void ShowTexts(QDialog& dialog, const CDialog& texts)
{
    for (const DialogItemText& item : texts.m_itemTexts) {
        QWidget* const control = dialog.findChild<QWidget*>(QString::number(item.id));
        const QString text = QString::fromStdString(item.text);
        if (auto* const label = qobject_cast<QLabel*>(control))
            label->setText(text);
        else if (auto* const edit = qobject_cast<QLineEdit*>(control))
            edit->setText(text);
    }
}

// OK saves the edits' texts and ends the dialog when the dialog agrees.
void PressOK(QDialog& dialog, CDialog& texts)
{
    for (const QLineEdit* const edit : dialog.findChildren<QLineEdit*>())
        texts.SetDlgItemText(edit->objectName().toUInt(), edit->text().toStdString());
    if (texts.OnOK())
        dialog.done(IDOK);
    else
        ShowTexts(dialog, texts);
}

}  // namespace

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(DialogPointSize(dialogTemplate));
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFromAlphabet(alphabet, metrics.height());
}

QDialog* BuildDialog(const DialogTemplate& dialogTemplate, QWidget* owner, CDialog* texts)
{
    auto* const dialog = new QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.title ? dialogTemplate.title : ""));
    dialog->setFont(DialogFont(dialogTemplate));
    const DialogLayout layout =
        LayOutDialog(dialogTemplate, BaseUnitsOf(dialog->font()), QFontMetrics(dialog->font()).lineSpacing());
    dialog->setFixedSize(layout.client.cx, layout.client.cy);
    for (const DialogItemLayout& item : layout.items) {
        if (item.kind == DialogControl::Static) {
            auto* const label = new QLabel(QString::fromStdString(item.text), dialog);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            label->setGeometry(ToQRect(item.rect));
            label->setObjectName(QString::number(item.id));
            continue;
        }
        if (item.kind == DialogControl::Edit) {
            auto* const edit = new QLineEdit(QString::fromStdString(item.text), dialog);
            edit->setGeometry(ToQRect(item.rect));
            edit->setObjectName(QString::number(item.id));
            continue;
        }
        auto* const button = new QPushButton(QString::fromStdString(item.text), dialog);
        button->setGeometry(ToQRect(item.rect));
        if (item.kind == DialogControl::DefPushButton)
            button->setDefault(true);
        const UINT id = item.id;
        if (id == IDOK && texts)
            QObject::connect(button, &QPushButton::clicked, dialog, [dialog, texts] { PressOK(*dialog, *texts); });
        else if (id == IDOK || id == IDCANCEL)
            QObject::connect(button, &QPushButton::clicked, dialog, [dialog, id] { dialog->done(int(id)); });
    }
    if (texts)
        ShowTexts(*dialog, *texts);
    return dialog;
}

int backend::RunModalDialog(const DialogTemplate& dialogTemplate, CDialog& texts, CNativeWindow* owner)
{
    const QPointer<QWidget> ownerWindow = owner ? owner->window() : nullptr;
    // Held by a guarded pointer: destroying the owner during exec() takes the dialog with it.
    const QPointer<QDialog> dialog = BuildDialog(dialogTemplate, ownerWindow, &texts);
    const int result = dialog->exec();
    delete dialog.data();
    // The owner takes the keys back, as it does when a modal dialog ends; left to the window
    // manager, the focus could stay nowhere.
    if (ownerWindow)
        ownerWindow->activateWindow();
    return result;
}
