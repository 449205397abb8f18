// Runs every unit test inside one Qt application on the offscreen platform, so that
// the window layer works without a display, with the key input installed as the game's
// main installs it.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/qt/KeyInput.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    InstallKeyInput();
    return RUN_ALL_TESTS();
}
