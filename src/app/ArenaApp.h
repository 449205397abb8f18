#pragma once
// CArenaApp: the application object. Its start-up builds and shows the main frame;
// its command table opens the help and About dialogs. `--record FILE` records the session
// to a replay file as it is played; `--replay FILE` plays one back (so does a file opened
// on the page). `--host [PORT]` runs a relay in the game and opens a room on it; `--join
// HOST[:PORT][/ROOM]` joins a room, or opens a new one on that relay (COnlineGame).
#include <string>
#include <vector>

#include "app/OnlineDlg.h"
#include "app/OnlineGame.h"
#include "platform/wnd/WinApp.h"
#include "replay/Replay.h"

class CMainFrame;

// The browser's edition takes its options from the page's address, ?join=HOST:PORT/ROOM.
#ifdef __EMSCRIPTEN__
inline constexpr bool kPageEdition = true;
#else
inline constexpr bool kPageEdition = false;
#endif

class CArenaApp : public CWinApp
{
public:
    CArenaApp();
    ~CArenaApp() override;

    const MessageMap* GetMessageMap() const override;
    bool InitInstance() override;
    bool OpenData(std::span<const std::uint8_t> bytes, std::string& error) override;

    void OnAppAbout();
    void OnHelpKeysFlight();
    void OnHelpGeneral();
    void OnHelpKeysControl();
    void OnGameHostOnline();
    void OnGameJoinOnline();
    // The online game's news for the player: its room, or its end.
    void OnOnlineNews();

    // Online play, for the command line and the Game menu's dialogs. Host: a relay in this
    // program on every interface at port (0: any free one), and a new room on it. Join: a
    // room at "HOST[:PORT]/ROOM", or a new room on the relay at "HOST[:PORT]". The machine's
    // players take seats: the keyboard player and each controller seated. False with why.
    bool HostOnline(std::uint16_t port, std::string& error);
    bool JoinOnline(const std::string& address, std::string& error);
    COnlineGame m_online;
    // Kept, so that the player's texts are there the next time; on the page it outlives the
    // menu command that opens it.
    CJoinOnlineDlg m_joinDlg{*this};

protected:
    static const MessageMap s_messageMap;

private:
    // Reads the options and the replay they name; false with one line of why.
    bool ReadCommandLine(std::string& error);
    void StartPlayback(CMainFrame& frame);
    bool ReadOnlineOption(int& i, std::string& error);
    bool StartOnline(const CRelayAddress& address, const std::string& shownHost, std::string& error);
    void StartOnlineFromCommandLine();

    const char* m_recordPath = nullptr;
    const char* m_replayPath = nullptr;
    const char* m_hostPort = nullptr;
    const char* m_joinAddress = nullptr;
    std::uint16_t m_port = COnlineGame::kDefaultPort;
    // A room opened here: the addresses to give friends, without the room; hosted by this
    // program's relay or by another's.
    std::vector<std::string> m_roomAddresses;
    bool m_hostedHere = false;
    CReplayRecorder m_recorder;
    CReplayPlayer m_player;
};

extern CArenaApp g_arenaApp;
