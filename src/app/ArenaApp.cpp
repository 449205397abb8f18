#include "app/ArenaApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

    // A bad option or file ends the program before any window shows, with nothing written.
    if (std::string error; !ReadCommandLine(error)) {
        std::fprintf(stderr, "vexlor: %s\n", error.c_str());
        std::exit(2);
    }

    auto* const frame = new CMainFrame;
    m_pMainWnd = frame;
    // Without a frame there is nothing to run: start-up fails rather than leave an
    // event loop with no window.
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        m_pMainWnd = nullptr;
        delete frame;
        return false;
    }

    if (m_replayPath != nullptr)
        StartPlayback(*frame);
    if (m_recordPath != nullptr) {
        frame->m_arenaView.BeginSession(m_recorder.Header().m_seed, m_recorder.Header().m_startSecond);
        frame->m_arenaView.m_recorder = &m_recorder;
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

bool CArenaApp::ReadCommandLine(std::string& error)
{
    for (int i = 1; i < m_argc; ++i) {
        const char* const option = m_argv[i];
        const char** const path = std::strcmp(option, "--record") == 0   ? &m_recordPath
                                  : std::strcmp(option, "--replay") == 0 ? &m_replayPath
                                                                         : nullptr;
        if (path == nullptr) {
            error = std::string("unknown option ") + option + "; the options are --record FILE and --replay FILE";
            return false;
        }
        if (i + 1 == m_argc) {
            error = std::string(option) + " needs a file";
            return false;
        }
        *path = m_argv[++i];
    }
    if (m_recordPath != nullptr && m_replayPath != nullptr) {
        error = "--record and --replay cannot go together";
        return false;
    }
    if (m_replayPath != nullptr)
        return m_player.Load(m_replayPath, error);
    if (m_recordPath != nullptr)
        return m_recorder.Open(m_recordPath, g_randomGenerator.m_state, SystemCalendarSeconds(), error);
    return true;
}

void CArenaApp::StartPlayback(CMainFrame& frame)
{
    const CReplayHeader& header = m_player.m_replay.m_header;
    frame.m_arenaView.BeginSession(header.m_seed, header.m_startSecond);
    frame.m_arenaView.m_recorder = nullptr;
    frame.m_arenaView.m_playback = &m_player;
    frame.FitArena(m_player.FirstSize());
}

bool CArenaApp::OpenData(std::span<const std::uint8_t> bytes, std::string& error)
{
    auto* const frame = static_cast<CMainFrame*>(m_pMainWnd);
    if (frame == nullptr || !m_player.Load(bytes, error))
        return false;
    StartPlayback(*frame);
    return true;
}
