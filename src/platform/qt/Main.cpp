// The program's entry point: the Qt application, the application object's start-up, the
// game controllers and then the event loop until the main window is gone.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/qt/KeyInput.h"
#include "platform/qt/NativeWindow.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlControllers.h"
#include "platform/wnd/WinApp.h"

// Qt aborts with a core dump when it finds no platform to run on; a player who started the
// game away from a desktop is better served by one line that says what to do. A platform
// given by QT_QPA_PLATFORM or by Qt's own -platform option is left to Qt to judge.
static bool NoDisplayGiven(int argc, char** argv)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* const value = std::getenv(variable);
        if (value && *value)
            return false;
    }
    // Qt takes the option with one dash or two, followed by the platform's name.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (NoDisplayGiven(argc, argv)) {
        std::fputs("vexlor: no display found; start Vexlor from a desktop session, or set DISPLAY or "
                   "WAYLAND_DISPLAY\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("vexlor"));
    InstallKeyInput();

    // The one application object was constructed before main; the program is linked with
    // the whole game library so that it is there.
    CWinApp* const app = AfxGetApp();
    if (!app)
        return 1;
    app->m_argc = argc;
    app->m_argv = argv;
    if (!app->InitInstance())
        return 1;
    // After the start-up, whose bad options end the program with one line of their own; the
    // device takes the sound setting the game chose meanwhile.
    const CSdlAudio audio;
    if (CWnd* const frame = app->m_pMainWnd; frame && frame->m_native) {
        frame->m_native->raise();
        frame->m_native->activateWindow();
    }
    // SDL's controller events come in through a pump on this loop, sooner while one is plugged in.
    CSdlControllers controllers;
    QTimer pump;
    pump.setSingleShot(true);
    QObject::connect(&pump, &QTimer::timeout, [&] { pump.start(controllers.Pump()); });
    if (controllers.m_started)
        pump.start(0);
    return app->Run();
}
