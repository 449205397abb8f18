#include "app/ArenaApp.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/Resources.h"
#include "platform/wnd/Backend.h"

CArenaApp g_arenaApp;

namespace {

constexpr MessageEntry kEntries[] = {
    {WM_COMMAND, ID_APP_ABOUT, On::Command<CArenaApp, &CArenaApp::OnAppAbout>},
    {WM_COMMAND, ID_HELP_KEYS_FLIGHT, On::Command<CArenaApp, &CArenaApp::OnHelpKeysFlight>},
    {WM_COMMAND, ID_HELP_GENERAL, On::Command<CArenaApp, &CArenaApp::OnHelpGeneral>},
    {WM_COMMAND, ID_HELP_KEYS_CONTROL, On::Command<CArenaApp, &CArenaApp::OnHelpKeysControl>},
    {WM_COMMAND, ID_GAME_HOST_ONLINE, On::Command<CArenaApp, &CArenaApp::OnGameHostOnline>},
    {WM_COMMAND, ID_GAME_JOIN_ONLINE, On::Command<CArenaApp, &CArenaApp::OnGameJoinOnline>},
    {WM_COMMAND, ID_ONLINE_NEWS, On::Command<CArenaApp, &CArenaApp::OnOnlineNews>},
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
    StartOnlineFromCommandLine();
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    return true;
}

// A relay that cannot start is refused like a bad option, before the window shows. The page
// has no other options: a room it cannot join leaves it playing alone, and it says why.
void CArenaApp::StartOnlineFromCommandLine()
{
    std::string error;
    const bool started = m_hostPort != nullptr      ? HostOnline(m_port, error)
                         : m_joinAddress != nullptr ? JoinOnline(m_joinAddress, error)
                                                    : true;
    if (started) {
        m_online.m_tellPlayer = kPageEdition;
        return;
    }
    std::fprintf(stderr, "vexlor: %s\n", error.c_str());
    if (!kPageEdition)
        std::exit(2);
    CDialog dialog(IDD_ONLINE);
    dialog.SetDlgItemText(IDC_MESSAGE, "Cannot join " + std::string(m_joinAddress) + ": " + error);
    dialog.DoModal();
}

// While online, the menu's items tell of the game instead.
void CArenaApp::OnGameHostOnline()
{
    if (m_online.Running()) {
        OnOnlineNews();
        return;
    }
    CHostOnlineDlg dialog(*this);
    dialog.DoModal();
}

void CArenaApp::OnGameJoinOnline()
{
    if (m_online.Running()) {
        OnOnlineNews();
        return;
    }
    m_joinDlg.SetDlgItemText(IDC_MESSAGE, "");
    m_joinDlg.DoModal();
}

void CArenaApp::OnOnlineNews()
{
    CDialog dialog(IDD_ONLINE);
    dialog.SetDlgItemText(IDC_MESSAGE, OnlineMessage(m_online, m_roomAddresses, m_hostedHere));
    dialog.DoModal();
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
        if (std::strcmp(option, "--host") == 0 || std::strcmp(option, "--join") == 0) {
            if (!ReadOnlineOption(i, error))
                return false;
            continue;
        }
        const char** const path = std::strcmp(option, "--record") == 0   ? &m_recordPath
                                  : std::strcmp(option, "--replay") == 0 ? &m_replayPath
                                                                         : nullptr;
        if (path == nullptr) {
            error = std::string("unknown option ") + option +
                    "; the options are --record FILE, --replay FILE, --host [PORT] and --join HOST[:PORT][/ROOM]";
            return false;
        }
        if (i + 1 == m_argc) {
            error = std::string(option) + " needs a file";
            return false;
        }
        *path = m_argv[++i];
    }
    const int modes = (m_recordPath != nullptr) + (m_replayPath != nullptr) + (m_hostPort != nullptr) +
                      (m_joinAddress != nullptr);
    if (modes > 1) {
        error = "--record, --replay, --host and --join cannot go together";
        return false;
    }
    if (m_replayPath != nullptr)
        return m_player.Load(m_replayPath, error);
    if (m_recordPath != nullptr)
        return m_recorder.Open(m_recordPath, g_randomGenerator.m_state, SystemCalendarSeconds(), error);
    return true;
}

// --host takes a port when one follows; --join always takes an address.
bool CArenaApp::ReadOnlineOption(int& i, std::string& error)
{
    const bool host = std::strcmp(m_argv[i], "--host") == 0;
    const bool valueFollows = i + 1 < m_argc && std::strncmp(m_argv[i + 1], "--", 2) != 0;
    if (host) {
        m_hostPort = valueFollows ? m_argv[++i] : "";
        return !valueFollows || COnlineGame::ParsePort(m_hostPort, m_port, error);
    }
    if (!valueFollows) {
        error = "--join needs a relay's address: HOST[:PORT][/ROOM]";
        return false;
    }
    m_joinAddress = m_argv[++i];
    CRelayAddress address;
    // The page says why when it joins.
    return kPageEdition || COnlineGame::ParseAddress(m_joinAddress, address, error);
}

bool CArenaApp::HostOnline(std::uint16_t port, std::string& error)
{
    std::string addresses;
    if (!backend::StartRelay(port, addresses, error))
        return false;
    m_roomAddresses.clear();
    for (std::size_t at = 0; at < addresses.size();) {
        const std::size_t end = std::min(addresses.find(' ', at), addresses.size());
        m_roomAddresses.push_back(CRelayAddress{addresses.substr(at, end - at), port, 0}.Url());
        at = end + 1;
    }
    m_hostedHere = true;
    return StartOnline(CRelayAddress{"127.0.0.1", port, 0}, addresses.substr(0, addresses.find(' ')), error);
}

bool CArenaApp::JoinOnline(const std::string& text, std::string& error)
{
    CRelayAddress address;
    if (!COnlineGame::ParseAddress(text, address, error))
        return false;
    m_roomAddresses.clear();
    if (address.m_room == 0)
        m_roomAddresses.push_back(address.Url());
    m_hostedHere = false;
    return StartOnline(address, address.m_host, error);
}

bool CArenaApp::StartOnline(const CRelayAddress& address, const std::string& shownHost, std::string& error)
{
    auto* const frame = static_cast<CMainFrame*>(m_pMainWnd);
    if (frame == nullptr) {
        error = "no game window to play online in";
        return false;
    }
    CArenaView& view = frame->m_arenaView;
    const int seats = 1 + std::popcount(unsigned(frame->m_seatAutopilots.m_held));
    if (!m_online.Start(address, shownHost, std::min(seats, net::kSeats), error))
        return false;
    view.m_online = &m_online;
    view.m_recorder = nullptr;
    view.m_playback = nullptr;
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
