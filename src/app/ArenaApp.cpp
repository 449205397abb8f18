#include "app/ArenaApp.h"

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/Resources.h"

CArenaApp g_arenaApp;

namespace {

constexpr MessageEntry kEntries[] = {
    {WM_COMMAND, ID_APP_ABOUT, On::Command<CArenaApp, &CArenaApp::OnAppAbout>},
    {WM_COMMAND, ID_HELP_KEYS_FLIGHT, On::Command<CArenaApp, &CArenaApp::OnHelpKeysFlight>},
    {WM_COMMAND, ID_HELP_GENERAL, On::Command<CArenaApp, &CArenaApp::OnHelpGeneral>},
    {WM_COMMAND, ID_HELP_KEYS_CONTROL, On::Command<CArenaApp, &CArenaApp::OnHelpKeysControl>},
};

}  // namespace

const MessageMap CArenaApp::s_messageMap{&CWinApp::s_messageMap, kEntries};

CArenaApp::CArenaApp()
{
    AfxSetResourceModule(&g_arenaResources);
}

CArenaApp::~CArenaApp() = default;

const MessageMap* CArenaApp::GetMessageMap() const
{
    return &s_messageMap;
}

bool CArenaApp::InitInstance()
{
    SetRegistryKey("Local AppWizard-Generated Applications");

    auto* const frame = new CMainFrame;
    m_pMainWnd = frame;
    // Without a frame there is nothing to run: start-up fails rather than leave an
    // event loop with no window.
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        m_pMainWnd = nullptr;
        delete frame;
        return false;
    }

    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    return true;
}

void CArenaApp::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}

void CArenaApp::OnHelpKeysFlight()
{
    CDialog dialog(IDD_KEYS);
    dialog.DoModal();
}

void CArenaApp::OnHelpGeneral()
{
    CDialog dialog(IDD_GENERAL);
    dialog.DoModal();
}

void CArenaApp::OnHelpKeysControl()
{
    CDialog dialog(IDD_CONTROL_KEYS);
    dialog.DoModal();
}
