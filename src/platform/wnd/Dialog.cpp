#include "platform/wnd/Dialog.h"

#include <QDialog>
#include <QPointer>

#include "platform/qt/DialogBuilder.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Resources.h"
#include "platform/wnd/WinApp.h"

const MessageMap CDialog::s_messageMap{&CWnd::s_messageMap, {}};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parentWnd(parent) {}

const MessageMap* CDialog::GetMessageMap() const
{
    return &s_messageMap;
}

LRESULT CDialog::DoModal()
{
    const DialogTemplate* const dialogTemplate = FindDialog(m_templateId);
    if (!dialogTemplate)
        return -1;
    // Without a parent of its own the dialog belongs to the main window.
    const CWinApp* const app = AfxGetApp();
    const CWnd* const owner = m_parentWnd ? m_parentWnd : (app ? app->m_pMainWnd : nullptr);
    const QPointer<QWidget> ownerWidget = (owner && owner->m_native) ? owner->m_native->window() : nullptr;

    // Held by a guarded pointer: destroying the owner during exec() takes the dialog with it.
    const QPointer<QDialog> dialog = BuildDialog(*dialogTemplate, ownerWidget);
    CDataExchange load{false, this};
    DoDataExchange(&load);
    const int result = dialog->exec();
    delete dialog.data();
    // The owner takes the keys back, as it does when a modal dialog ends; left to the window
    // manager, the focus could stay nowhere.
    if (ownerWidget)
        ownerWidget->activateWindow();
    if (result != IDOK)
        return IDCANCEL;
    CDataExchange save{true, this};
    DoDataExchange(&save);
    return IDOK;
}

void CDialog::DoDataExchange(CDataExchange*) {}
