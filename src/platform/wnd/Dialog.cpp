#include "platform/wnd/Dialog.h"

#include "platform/wnd/Backend.h"
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
    CDataExchange load{false, this};
    DoDataExchange(&load);
    const int result = backend::RunModalDialog(*dialogTemplate, *this, owner ? owner->m_native : nullptr);
    if (result != IDOK)
        return IDCANCEL;
    CDataExchange save{true, this};
    DoDataExchange(&save);
    return IDOK;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnOK()
{
    return true;
}

void CDialog::SetDlgItemText(UINT id, const std::string& text)
{
    for (DialogItemText& item : m_itemTexts)
        if (item.id == id) {
            item.text = text;
            return;
        }
    m_itemTexts.push_back({id, text});
}

std::string CDialog::GetDlgItemText(UINT id) const
{
    for (const DialogItemText& item : m_itemTexts)
        if (item.id == id)
            return item.text;
    return {};
}
