#pragma once
// CWinApp: the one application object. The layer's main creates the toolkit's
// application, calls InitInstance and runs the event loop until the main window closes.
#include "platform/wnd/MessageMap.h"

class CWnd;

class CWinApp : public CCmdTarget
{
public:
    CWinApp();
    ~CWinApp() override;

    const MessageMap* GetMessageMap() const override;
    virtual bool InitInstance();
    int Run();

    // The profile key is recorded only; nothing is stored.
    void SetRegistryKey(const char* key) { m_registryKey = key; }
    void OnAppExit();

    CWnd* m_pMainWnd = nullptr;
    const char* m_registryKey = nullptr;

protected:
    static const MessageMap s_messageMap;
};

CWinApp* AfxGetApp();
