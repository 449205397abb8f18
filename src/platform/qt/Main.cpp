// The program's entry point: the Qt application, the application object's start-up and
// then the event loop until the main window is gone.
#include <QApplication>

#include "app/ArenaApp.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Wnd.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("vexlor"));

    // The application object sits in the static game library: naming it here links it into
    // the program, and its constructor made it the application AfxGetApp returns.
    CWinApp* const app = AfxGetApp();
    if (app != &g_arenaApp || !app->InitInstance())
        return 1;
    if (CWnd* const frame = app->m_pMainWnd; frame && frame->m_native) {
        frame->m_native->raise();
        frame->m_native->activateWindow();
    }
    return app->Run();
}
