// A frame with a pane, as the main frame has, on the offscreen platform: the pane covers the
// client area below the menu bar and follows a resize. F11 and Alt+Enter switch the frame
// of the focused window to full screen and back: neither key reaches the key table or the window, the menu bar stays
// and the pane follows the larger client area. Without a window of ours in the focus the
// keys are the toolkit's. The frame's accelerators take their keys from the frame and its pane.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <string>
#include <vector>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"
#include "platform/wnd/FrameWnd.h"
#include "platform/wnd/Keyboard.h"
#include "support/TestSupport.h"

namespace {

constexpr int kDeadlineMs = 5000;
// X key codes, as Qt reports them for the keys.
constexpr std::uint32_t kScanF11 = 95, kScanReturn = 36, kScanAlt = 64;

std::vector<std::string> g_keys;

template <char Tag> LRESULT LogKey(CCmdTarget&, WPARAM w, LPARAM) { g_keys.push_back(Tag + std::to_string(w)); return 0; }

class KeyPane : public CWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    static inline const MessageEntry s_entries[] = {{WM_KEYDOWN, 0, LogKey<'d'>}, {WM_KEYUP, 0, LogKey<'u'>}};
    static inline const MessageMap s_map{&CWnd::s_messageMap, s_entries};
};

class PaneFrame : public CFrameWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    int OnCreate(const CREATESTRUCT*)
    {
        return m_pane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, AFX_IDW_PANE_FIRST) ? 0 : -1;
    }
    KeyPane m_pane;
    static inline const MessageEntry s_entries[] = {{WM_CREATE, 0, On::Create<PaneFrame>},
                                                    {WM_COMMAND, 901, LogKey<'c'>}, {WM_COMMAND, 902, LogKey<'c'>}};
    static inline const MessageMap s_map{&CFrameWnd::s_messageMap, s_entries};
};

using testsupport::Held;

class FullScreenKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KeyboardReleaseAll();
        g_keys.clear();
        static const MenuItemTemplate items[] = {{"E&xit", ID_APP_EXIT, {}}};
        static const MenuItemTemplate bar[] = {{"&Game", 0, items}};
        static const MenuTemplate menus[] = {{300, bar}};
        // Ctrl+C as a virtual key, and 'x' as a character: the key X with no modifier.
        static const AcceleratorEntry keys[] = {{FVIRTKEY | FCONTROL, 'C', 901}, {0, 'x', 902}};
        static const AcceleratorTable accelerators[] = {{300, keys}};
        static const ResourceModule module{menus, accelerators, {}, {}, {}};
        const ResourceModule* const previous = AfxGetResourceModule();
        AfxSetResourceModule(&module);
        const bool loaded = m_frame.LoadFrame(300, WS_OVERLAPPEDWINDOW);
        AfxSetResourceModule(previous);
        ASSERT_TRUE(loaded);
        m_frame.ShowWindow(SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.m_native));
        m_frame.m_native->resize(500, 400);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().width() == 500; }, kDeadlineMs));
        m_menu = m_frame.m_native->findChild<QMenuBar*>()->height();
        m_screen = QGuiApplication::primaryScreen()->geometry().size();
    }
    void TearDown() override { KeyboardReleaseAll(); }

    QWidget& Pane() { return *m_frame.m_pane.m_native; }
    bool Key(UINT key, std::uint32_t scan, bool pressed, bool autoRepeat = false)
    {
        return NativeKey(&m_frame.m_pane, key, scan, pressed, autoRepeat);
    }
    bool PaneIs(int width, int height)
    {
        return Pane().geometry() == QRect(0, m_menu, width, height - m_menu);
    }

    PaneFrame m_frame;
    int m_menu = 0;
    QSize m_screen;
};

TEST_F(FullScreenKeys, F11SwitchesToFullScreenAndBackAndIsNeverSeen)
{
    ASSERT_GT(m_menu, 0);
    ASSERT_GT(m_screen.width(), 500);
    // Set up at 500 x 400, the pane covers the client area below the menu bar.
    EXPECT_TRUE(PaneIs(500, 400));
    EXPECT_TRUE(Key(VK_F11, kScanF11, true));
    EXPECT_FALSE(Held(VK_F11));
    EXPECT_TRUE(m_frame.m_native->isFullScreen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return PaneIs(m_screen.width(), m_screen.height()); }, kDeadlineMs))
        << "pane " << Pane().geometry().width() << "x" << Pane().geometry().height();
    EXPECT_TRUE(m_frame.m_native->findChild<QMenuBar*>()->isVisible());
    // Auto-repeat does not switch back and forth; the release is not seen either.
    EXPECT_TRUE(Key(VK_F11, kScanF11, true, true));
    EXPECT_TRUE(Key(VK_F11, kScanF11, false));
    EXPECT_TRUE(m_frame.m_native->isFullScreen());

    EXPECT_TRUE(Key(VK_F11, kScanF11, true));
    EXPECT_TRUE(Key(VK_F11, kScanF11, false));
    EXPECT_FALSE(m_frame.m_native->isFullScreen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return PaneIs(500, 400); }, kDeadlineMs));
    EXPECT_EQ(g_keys, std::vector<std::string>{});
}

TEST_F(FullScreenKeys, AltEnterSwitchesButEnterAloneIsAGameKey)
{
    const std::string alt = std::to_string(VK_MENU), enter = std::to_string(VK_RETURN);
    Key(VK_MENU, kScanAlt, true);
    EXPECT_TRUE(Key(VK_RETURN, kScanReturn, true));
    EXPECT_FALSE(Held(VK_RETURN));
    EXPECT_TRUE(m_frame.m_native->isFullScreen());
    // Alt let go first: the Enter release is still not seen.
    Key(VK_MENU, kScanAlt, false);
    EXPECT_TRUE(Key(VK_RETURN, kScanReturn, false));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"d" + alt, "u" + alt}));

    // Enter alone fires as ever.
    g_keys.clear();
    Key(VK_RETURN, kScanReturn, true);
    EXPECT_TRUE(Held(VK_RETURN));
    Key(VK_RETURN, kScanReturn, false);
    EXPECT_FALSE(Held(VK_RETURN));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"d" + enter, "u" + enter}));
    EXPECT_TRUE(m_frame.m_native->isFullScreen());

    // Enter held before Alt: its auto-repeat with Alt switches nothing, and its release
    // releases it.
    g_keys.clear();
    Key(VK_RETURN, kScanReturn, true);
    Key(VK_MENU, kScanAlt, true);
    EXPECT_TRUE(Key(VK_RETURN, kScanReturn, true, true));
    EXPECT_TRUE(m_frame.m_native->isFullScreen());
    Key(VK_RETURN, kScanReturn, false);
    EXPECT_FALSE(Held(VK_RETURN));
    // Then Alt+Enter switches back.
    Key(VK_RETURN, kScanReturn, true);
    Key(VK_RETURN, kScanReturn, false);
    Key(VK_MENU, kScanAlt, false);
    EXPECT_FALSE(m_frame.m_native->isFullScreen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return PaneIs(500, 400); }, kDeadlineMs));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"d" + enter, "d" + alt, "u" + enter, "u" + alt}));
}

TEST_F(FullScreenKeys, WithTheFocusElsewhereTheKeysAreTheToolkits)
{
    EXPECT_FALSE(NativeKey(nullptr, VK_F11, kScanF11, true, false));
    EXPECT_TRUE(Held(VK_F11));
    EXPECT_FALSE(NativeKey(nullptr, VK_F11, kScanF11, false, false));
    EXPECT_FALSE(Held(VK_F11));
    EXPECT_FALSE(m_frame.m_native->isFullScreen());
}

TEST_F(FullScreenKeys, AnAcceleratorWithJustItsModifiersHeldPostsItsCommandInsteadOfTheKey)
{
    for (const bool shift : {false, true}) {
        Key(VK_CONTROL, 37, true);
        if (shift)
            Key(VK_SHIFT, 50, true);
        Key('C', 54, true);
        Key('C', 54, false);
        KeyboardReleaseAll();
    }
    EXPECT_TRUE(Key('X', 53, true));
    Key('X', 53, false);
    ASSERT_TRUE(QTest::qWaitFor([] { return g_keys.size() == 9; }, kDeadlineMs));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"d17", "u67", "d17", "d16", "d67", "u67", "u88", "c901", "c902"}));
}

}  // namespace
