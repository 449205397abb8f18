// The program's entry point: the Qt application, the application object's start-up, the
// game controllers and then the event loop until the main window is gone.
#include <QApplication>

#include "platform/qt/NativeWindow.h"
#include "platform/qt/SdlControllers.h"
#include "platform/wnd/WinApp.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("vexlor"));

    // The one application object was constructed before main; the program is linked with
    // the whole game library so that it is there.
    CWinApp* const app = AfxGetApp();
    if (!app || !app->InitInstance())
        return 1;
    if (CWnd* const frame = app->m_pMainWnd; frame && frame->m_native) {
        frame->m_native->raise();
        frame->m_native->activateWindow();
    }
    const CSdlControllers controllers;
    return app->Run();
}
