#include "app/AboutDlg.h"

const MessageMap CAboutDlg::s_messageMap{&CDialog::s_messageMap, {}};

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

const MessageMap* CAboutDlg::GetMessageMap() const
{
    return &s_messageMap;
}

void CAboutDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
}
