#pragma once
// CWinApp: the one application object. The layer's main creates the toolkit's
// application, calls InitInstance and runs the event loop until the main window closes.
#include <cstdint>
#include <span>
#include <string>

#include "platform/wnd/MessageMap.h"

class CWnd;

class CWinApp : public CCmdTarget
{
public:
    CWinApp();
    ~CWinApp() override;

    const MessageMap* GetMessageMap() const override;
    virtual bool InitInstance();
    // A file the user opened in the page (the browser has no command line); false with one
    // line of why when the application cannot use it.
    virtual bool OpenData(std::span<const std::uint8_t> bytes, std::string& error);
    // Runs the event loop until the main window is destroyed, then deletes the main window
    // (InitInstance makes it on the heap) and returns the exit status.
    int Run();

    // The profile key is recorded only; nothing is stored.
    void SetRegistryKey(const char* key) { m_registryKey = key; }
    void OnAppExit();

    CWnd* m_pMainWnd = nullptr;
    // The command line, less the toolkit's own options.
    int m_argc = 0;
    char** m_argv = nullptr;
    const char* m_registryKey = nullptr;

protected:
    static const MessageMap s_messageMap;

private:
    // A test may stand up an application of its own for a while; the one before it comes back.
    CWinApp* m_previousApp;
};

CWinApp* AfxGetApp();
