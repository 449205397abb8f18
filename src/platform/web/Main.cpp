// The page's entry point: the application object's start-up. The event loop is the page's
// own, and it runs on after main has left (RunEventLoop).
#include <emscripten/emscripten.h>

#include <string>

#include "platform/wnd/WinApp.h"

int main()
{
    // The one application object was constructed before main; the page is linked with the
    // whole game library so that it is there.
    CWinApp* const app = AfxGetApp();
    if (!app)
        return 1;
    // The page's address is its command line: ?join=HOST:PORT/ROOM joins that room at once.
    static std::string join = emscripten_run_script_string("new URLSearchParams(location.search).get('join') || ''");
    static char* arguments[] = {const_cast<char*>("vexlor"), const_cast<char*>("--join"), join.data(), nullptr};
    if (!join.empty()) {
        app->m_argc = 3;
        app->m_argv = arguments;
    }
    if (!app->InitInstance())
        return 1;
    return app->Run();
}
