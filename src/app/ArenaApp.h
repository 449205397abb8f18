#pragma once
// CArenaApp: the application object. Its start-up builds and shows the main frame;
// its command table opens the help and About dialogs.
#include "platform/wnd/WinApp.h"

class CArenaApp : public CWinApp
{
public:
    CArenaApp();
    ~CArenaApp() override;

    const MessageMap* GetMessageMap() const override;
    bool InitInstance() override;

    void OnAppAbout();
    void OnHelpKeysFlight();
    void OnHelpGeneral();
    void OnHelpKeysControl();

protected:
    static const MessageMap s_messageMap;
};

extern CArenaApp g_arenaApp;
