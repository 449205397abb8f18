// The page's entry point: the application object's start-up. The event loop is the page's
// own, and it runs on after main has left (RunEventLoop).
#include "platform/wnd/WinApp.h"

int main()
{
    // The one application object was constructed before main; the page is linked with the
    // whole game library so that it is there.
    CWinApp* const app = AfxGetApp();
    if (!app || !app->InitInstance())
        return 1;
    return app->Run();
}
