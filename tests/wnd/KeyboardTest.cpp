// The key table, the translation of Qt keys to virtual keys, and the key messages that
// reach the window with the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include "platform/qt/KeyInput.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Keyboard.h"
#include "wnd/WndTestKit.h"

namespace {

BYTE KeyState(UINT virtualKey)
{
    BYTE keys[256];
    EXPECT_TRUE(GetKeyboardState(keys));
    return keys[virtualKey];
}

class KeyTableTest : public ::testing::Test
{
protected:
    void SetUp() override { KeyboardReleaseAll(); }
    void TearDown() override { KeyboardReleaseAll(); }
};

TEST_F(KeyTableTest, PressAndReleaseWithAutoRepeatIgnored)
{
    EXPECT_FALSE(KeyboardPress(VK_LEFT, 113, true));
    EXPECT_EQ(KeyState(VK_LEFT), 0);
    EXPECT_TRUE(KeyboardPress(VK_LEFT, 113, false));
    EXPECT_EQ(KeyState(VK_LEFT), 0x80);
    EXPECT_FALSE(KeyboardPress(VK_LEFT, 113, true));
    EXPECT_EQ(KeyboardRelease(VK_LEFT, 113, true), 0u);
    EXPECT_EQ(KeyState(VK_LEFT), 0x80);
    EXPECT_EQ(KeyboardRelease(VK_LEFT, 113, false), UINT(VK_LEFT));
    EXPECT_EQ(KeyState(VK_LEFT), 0);
}

TEST_F(KeyTableTest, AReleaseClearsTheKeyItsScanCodePressed)
{
    // Keypad 8 pressed with Num Lock on and released after Num Lock went off: Qt reports Up.
    KeyboardPress(VK_UP, 111, false);
    KeyboardPress(VK_NUMPAD8, 80, false);
    EXPECT_EQ(KeyboardRelease(VK_UP, 80, false), UINT(VK_NUMPAD8));
    EXPECT_EQ(KeyState(VK_NUMPAD8), 0);
    EXPECT_EQ(KeyState(VK_UP), 0x80);
    // Without a scan code (or once the pairing is used up) the reported key is released.
    EXPECT_EQ(KeyboardRelease(VK_UP, 0, false), UINT(VK_UP));
    EXPECT_EQ(KeyState(VK_UP), 0);
}

TEST_F(KeyTableTest, LosingTheApplicationFocusReleasesEveryKey)
{
    InstallKeyInput();
    KeyboardPress(VK_RETURN, 36, false);
    KeyboardPress(VK_ADD, 86, false);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    EXPECT_EQ(KeyState(VK_RETURN), 0);
    EXPECT_EQ(KeyState(VK_ADD), 0);
    EXPECT_EQ(KeyboardRelease(VK_SUBTRACT, 86, false), UINT(VK_SUBTRACT));
}

TEST(KeyTranslationTest, QtKeysBecomeVirtualKeysAndBack)
{
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        UINT virtualKey;
    } cases[] = {
        {Qt::Key_W, Qt::ShiftModifier, 0x57},   {Qt::Key_5, Qt::NoModifier, 0x35},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D}, {Qt::Key_PageDown, Qt::NoModifier, 0x22},
        {Qt::Key_Down, Qt::NoModifier, 0x28},   {Qt::Key_F12, Qt::NoModifier, 0x7B},
        {Qt::Key_Alt, Qt::AltModifier, 0x12},   {Qt::Key_8, Qt::KeypadModifier, 0x68},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B}, {Qt::Key_Plus, Qt::ShiftModifier, 0xBB},
        // Num Lock off: keypad 8 and 5 report Up and Clear.
        {Qt::Key_Up, Qt::KeypadModifier, 0x26}, {Qt::Key_Clear, Qt::KeypadModifier, 0x0C},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.key, c.modifiers), c.virtualKey) << c.key;
    EXPECT_EQ(QtKeyFromVirtualKey(VK_BACK), QKeyCombination(Qt::Key_Backspace));
    EXPECT_EQ(QtKeyFromVirtualKey(VK_NUMPAD8), QKeyCombination(Qt::KeypadModifier, Qt::Key_8));
    EXPECT_EQ(QtKeyFromVirtualKey(0xFF), QKeyCombination(Qt::Key_unknown));
}

TEST_F(KeyTableTest, KeysReachTheFocusedWindowAndTheTableWhereverTheFocusIs)
{
    wndtest::RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "keys", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
    wnd.SetFocus();
    QWindow* const window = wnd.m_native->windowHandle();
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_TRUE(wndtest::WaitUntil([&] { return QApplication::focusWidget() == wnd.m_native; }));

    QTest::keyPress(window, Qt::Key_Left);
    EXPECT_EQ(KeyState(VK_LEFT), 0x80);
    QTest::keyRelease(window, Qt::Key_Left);
    QTest::keyPress(window, Qt::Key_8, Qt::KeypadModifier);
    const auto keys = wnd.Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(keys[0].wParam, WPARAM(VK_LEFT));
    EXPECT_EQ(keys[0].lParam, MakeLParam(1, 0));
    EXPECT_EQ(keys[1].message, UINT(WM_KEYUP));
    EXPECT_EQ(keys[1].lParam, MakeLParam(1, 0xC000));
    EXPECT_EQ(keys[2].wParam, WPARAM(VK_NUMPAD8));

    // Keypad 8 is released while another window of the application has the keys.
    QWidget dialog;
    dialog.show();
    dialog.windowHandle()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.windowHandle()));
    QTest::keyRelease(dialog.windowHandle(), Qt::Key_8, Qt::KeypadModifier);
    EXPECT_EQ(KeyState(VK_NUMPAD8), 0);
    EXPECT_EQ(wnd.Only({WM_KEYDOWN, WM_KEYUP}).size(), 3u);
}

}  // namespace
