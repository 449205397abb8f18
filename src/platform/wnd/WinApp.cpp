#include "platform/wnd/WinApp.h"

#include <utility>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Wnd.h"

namespace {

CWinApp* s_application = nullptr;

constexpr MessageEntry kEntries[] = {
    {WM_COMMAND, ID_APP_EXIT, On::Command<CWinApp, &CWinApp::OnAppExit>},
};

}  // namespace

const MessageMap CWinApp::s_messageMap{nullptr, kEntries};

CWinApp::CWinApp() : m_previousApp(s_application)
{
    s_application = this;
}

CWinApp::~CWinApp()
{
    if (s_application == this)
        s_application = m_previousApp;
}

CWinApp* AfxGetApp()
{
    return s_application;
}

const MessageMap* CWinApp::GetMessageMap() const
{
    return &s_messageMap;
}

bool CWinApp::InitInstance()
{
    return true;
}

bool CWinApp::OpenData(std::span<const std::uint8_t>, std::string& error)
{
    error = "this application opens no files";
    return false;
}

bool NativeFileOpened(std::span<const std::uint8_t> bytes, std::string& error)
{
    CWinApp* const app = AfxGetApp();
    if (app == nullptr) {
        error = "the game has not started";
        return false;
    }
    return app->OpenData(bytes, error);
}

int CWinApp::Run()
{
    if (!m_pMainWnd || !m_pMainWnd->IsCreated())
        return 0;
    const int status = backend::RunEventLoop();
    delete std::exchange(m_pMainWnd, nullptr);
    return status;
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE, 0, 0);
}
