// The window layer on the offscreen platform: message tables and command routing, the
// keyboard state, created windows, and the placing of a dialog's items.
#include <gtest/gtest.h>

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/DialogBuilder.h"
#include "platform/qt/KeyInput.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Dialog.h"
#include "platform/wnd/FrameWnd.h"
#include "platform/wnd/Keyboard.h"
#include "platform/wnd/WinApp.h"

namespace {

constexpr int kDeadlineMs = 5000;
std::vector<std::string> g_log;

// A handler that logs its name and the wParam it got.
template <char Tag> LRESULT Logs(CCmdTarget&, WPARAM w, LPARAM) { g_log.push_back(Tag + std::to_string(w)); return 0; }

// Default processing logs 'd' and returns 7.
class BaseWnd : public CFrameWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    LRESULT DefWindowProc(UINT, WPARAM w, LPARAM l) override { return Logs<'d'>(*this, w, l) + 7; }
    static inline const MessageEntry s_entries[] = {{WM_SIZE, 0, Logs<'b'>}};
    static inline const MessageMap s_map{&CFrameWnd::s_messageMap, s_entries};
};

enum : UINT { kCommandApp = 401, kCommandBoth = 402 };

class DerivedWnd : public BaseWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    static inline const MessageEntry s_entries[] = {
        {WM_CHAR, 0, On::Default}, {WM_KEYUP, 0, Logs<'1'>}, {WM_KEYUP, 0, Logs<'2'>},
        {WM_COMMAND, kCommandBoth, Logs<'f'>}};
    static inline const MessageMap s_map{&BaseWnd::s_map, s_entries};
};

class RoutingApp : public CWinApp
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    static inline const MessageEntry s_entries[] = {{WM_COMMAND, kCommandApp, Logs<'a'>},
                                                    {WM_COMMAND, kCommandBoth, Logs<'a'>}};
    static inline const MessageMap s_map{&CWinApp::s_messageMap, s_entries};
};

TEST(MessageTableTest, FirstEntryWinsThenTheBaseTableThenDefaultAndCommandsGoToTheFrameThenTheApp)
{
    g_log.clear();
    RoutingApp app;
    DerivedWnd wnd;
    wnd.SendMessage(WM_KEYUP, 1, 0);
    wnd.SendMessage(WM_SIZE, 2, 0);
    EXPECT_EQ(wnd.SendMessage(WM_PAINT, 3, 0), 7);
    EXPECT_EQ(wnd.SendMessage(WM_CHAR, 4, 0), 7);
    for (const UINT id : {UINT(kCommandApp), UINT(kCommandBoth), 499u})
        wnd.SendMessage(WM_COMMAND, id, 0);
    EXPECT_FALSE(wnd.OnCmdMsg(499));
    // An unknown command reaches no handler, only default processing.
    EXPECT_EQ(g_log, (std::vector<std::string>{"11", "b2", "d3", "d4", "a401", "f402", "d499"}));
}

BYTE KeyState(UINT virtualKey) { BYTE keys[256]; GetKeyboardState(keys); return keys[virtualKey]; }

TEST(KeyboardTest, TheKeyTableAndTheTranslationOfQtKeys)
{
    KeyboardReleaseAll();
    // Auto-repeat presses and releases never change the table.
    EXPECT_TRUE(!KeyboardPress(VK_LEFT, 113, true) && KeyState(VK_LEFT) == 0);
    EXPECT_TRUE(KeyboardPress(VK_LEFT, 113, false));
    EXPECT_FALSE(KeyboardPress(VK_LEFT, 113, true));
    EXPECT_EQ(KeyboardRelease(VK_LEFT, 113, true), 0u);
    EXPECT_EQ(KeyState(VK_LEFT), 0x80);
    EXPECT_EQ(KeyboardRelease(VK_LEFT, 113, false), UINT(VK_LEFT));
    EXPECT_EQ(KeyState(VK_LEFT), 0);
    // Losing the application focus releases every key.
    KeyboardPress(VK_UP, 111, false);
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &inactive);
    EXPECT_EQ(KeyState(VK_UP), 0);

    const struct { Qt::Key key; Qt::KeyboardModifiers modifiers; UINT virtualKey; } keys[] = {
        {Qt::Key_W, Qt::ShiftModifier, 0x57},     {Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
        {Qt::Key_PageDown, Qt::NoModifier, 0x22}, {Qt::Key_F12, Qt::NoModifier, 0x7B},
        {Qt::Key_8, Qt::KeypadModifier, 0x68},    {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Up, Qt::KeypadModifier, 0x26},   {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const auto& k : keys)
        EXPECT_EQ(VirtualKeyFromQt(k.key, k.modifiers), k.virtualKey) << k.key;
}

// A window that records the timer, erase and paint messages it receives, with the timer's id.
class RecordingWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER || message == WM_ERASEBKGND || message == WM_PAINT)
            m_received.push_back({message, message == WM_TIMER ? wParam : 0});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::pair<UINT, WPARAM>> m_received;
};

TEST(CreatedWindowTest, TheTimerMessageArrivesWithItsId)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "timer", WS_OVERLAPPED, CRect(0, 0, 100, 100), nullptr, 0));
    EXPECT_EQ(wnd.SetTimer(7, 10, nullptr), 7u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.m_received.empty(); }, kDeadlineMs));
    EXPECT_EQ(wnd.m_received[0], std::pair(UINT(WM_TIMER), WPARAM(7)));
}

TEST(CreatedWindowTest, PaintSendsTheEraseFirstOnlyWhenRequested)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "paint", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 120, 80), nullptr, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd.m_native));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.m_received.empty(); }, kDeadlineMs));
    wnd.m_received.clear();
    wnd.Invalidate(true);
    wnd.UpdateWindow();
    EXPECT_EQ(wnd.m_received, (std::vector<std::pair<UINT, WPARAM>>{{WM_ERASEBKGND, 0}, {WM_PAINT, 0}}));

    wnd.m_received.clear();
    wnd.Invalidate(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wnd.m_received.empty(); }, kDeadlineMs));
    EXPECT_EQ(wnd.m_received[0], std::pair(UINT(WM_PAINT), WPARAM(0)));
}

// The Qt dialog places the items as the window layer lays them out in its font.
TEST(DialogTest, TheItemsArePlacedAsLaidOutInTheDialogFont)
{
    static const DialogItemTemplate items[] = {{DialogControl::DefPushButton, "OK", 76, 34, 50, 14, IDOK, 0}};
    const DialogTemplate about{301, "Test", "MS Shell Dlg", 8, 133, 55, items};
    const std::unique_ptr<QDialog> dialog(BuildDialog(about, nullptr));
    const DialogLayout layout = LayOutDialog(about, BaseUnitsOf(dialog->font()), QFontMetrics(dialog->font()).lineSpacing());
    const CRect button = layout.items[0].rect;
    EXPECT_EQ(dialog->size(), QSize(layout.client.cx, layout.client.cy));
    EXPECT_EQ(dialog->findChild<QPushButton*>()->geometry(), QRect(button.left, button.top, button.Width(), button.Height()));
}

// An edit shows the template's text, a static the dialog's; OK hands the edit's text to the
// dialog, which may refuse it and keep the dialog open with a new message.
TEST(DialogTest, OKHandsTheEditsTextToTheDialogWhichMayRefuse)
{
    static const DialogItemTemplate items[] = {{DialogControl::Edit, "7341", 7, 7, 50, 12, 1000, 0},
                                               {DialogControl::Static, "", 7, 25, 100, 8, 1001, 0},
                                               {DialogControl::DefPushButton, "OK", 76, 34, 50, 14, IDOK, 0}};
    const DialogTemplate port{302, "Test", "MS Shell Dlg", 8, 133, 55, items};
    struct CPortDlg : CDialog
    {
        CPortDlg() : CDialog(302) {}
        bool OnOK() override
        {
            SetDlgItemText(1001, "refused " + GetDlgItemText(1000));
            return GetDlgItemText(1000) == "80";
        }
    } texts;
    texts.SetDlgItemText(1001, "before");
    const std::unique_ptr<QDialog> dialog(BuildDialog(port, nullptr, &texts));
    auto* const edit = dialog->findChild<QLineEdit*>();
    auto* const label = dialog->findChild<QLabel*>();
    EXPECT_EQ(edit->text(), "7341");
    EXPECT_EQ(label->text(), "before");
    edit->setText("x");
    dialog->findChild<QPushButton*>()->click();
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(label->text(), "refused x");
    edit->setText("80");
    dialog->findChild<QPushButton*>()->click();
    EXPECT_EQ(dialog->result(), IDOK);
}

}  // namespace
