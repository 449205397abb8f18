#pragma once
// CArenaApp: the application object. Its start-up builds and shows the main frame;
// its command table opens the help and About dialogs. `--record FILE` records the session
// to a replay file as it is played; `--replay FILE` plays one back (so does a file opened
// on the page).
#include <string>

#include "platform/wnd/WinApp.h"
#include "replay/Replay.h"

class CMainFrame;

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

protected:
    static const MessageMap s_messageMap;

private:
    // Reads the options and the replay they name; false with one line of why.
    bool ReadCommandLine(std::string& error);
    void StartPlayback(CMainFrame& frame);

    const char* m_recordPath = nullptr;
    const char* m_replayPath = nullptr;
    CReplayRecorder m_recorder;
    CReplayPlayer m_player;
};

extern CArenaApp g_arenaApp;
