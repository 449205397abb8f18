// Windows, detached and created: client rectangles, invalidation, timers, painting, and
// frames loaded from resources with their pane, menu, accelerators and end.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <memory>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/FrameWnd.h"
#include "platform/wnd/WinApp.h"
#include "wnd/WndTestKit.h"

namespace {

using wndtest::RecordingWnd;
using wndtest::WaitUntil;

TEST(DetachedWindowTest, RecordsWhatANativeWindowWouldHaveBeenAsked)
{
    CWnd wnd;
    wnd.SetDetachedClientSize(640, 480);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 640, 480));
    wnd.Invalidate(false);
    EXPECT_TRUE(wnd.m_invalidated);
    EXPECT_FALSE(wnd.m_eraseRequested);
    wnd.Invalidate(true);
    EXPECT_TRUE(wnd.m_eraseRequested);
    EXPECT_EQ(wnd.SetTimer(1, 25, nullptr), 1u);
    EXPECT_EQ(wnd.SetTimer(1, 30, nullptr), 1u);
    EXPECT_EQ(wnd.m_timerElapse, 30u);
    EXPECT_EQ(wnd.m_timerStarts, 2);
    EXPECT_EQ(wnd.GetDC()->m_target, nullptr);
    EXPECT_EQ(CPaintDC(&wnd).m_target, nullptr);
    EXPECT_FALSE(wnd.ShowWindow(SW_SHOW));
    EXPECT_EQ(wnd.SetFocus(), nullptr);
}

TEST(CreatedWindowTest, TimerMessagesArriveWithTheirIds)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "timer", WS_OVERLAPPED, CRect(0, 0, 100, 100), nullptr, 0));
    EXPECT_EQ(wnd.SetTimer(7, 10, nullptr), 7u);
    EXPECT_EQ(wnd.SetTimer(9, 10, nullptr), 9u);
    const auto got = [&wnd](WPARAM id) {
        const auto timers = wnd.Only({WM_TIMER});
        return std::any_of(timers.begin(), timers.end(), [id](const wndtest::Received& r) { return r.wParam == id; });
    };
    EXPECT_TRUE(WaitUntil([&] { return got(7) && got(9); }));
}

// Copies from a row of four pixels (red, green, blue, white), so that a grab shows where
// each copy went.
class PaintingWnd : public RecordingWnd
{
public:
    PaintingWnd()
    {
        m_row.m_width = 4;
        m_row.m_height = 1;
        m_row.m_pixels.reset(new std::uint32_t[4]{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    }
    const MessageMap* GetMessageMap() const override { return &s_map; }
    bool PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.dwExStyle |= m_exStyle;
        return true;
    }
    bool OnEraseBkgnd(CDC* dc) { return dc->m_target != nullptr; }
    void OnPaint()
    {
        CPaintDC dc(this);
        ASSERT_NE(dc.m_target, nullptr);
        dc.m_target->PutImage(5, 5, 2, 1, m_row, 1, 0);
        // Partly left of the source: only the overlap is copied, to where it belongs.
        dc.m_target->PutImage(10, 6, 3, 1, m_row, -1, 0);
    }

    CBitmap m_row;
    static inline const MessageEntry s_entries[] = {{WM_PAINT, 0, On::Paint<PaintingWnd>},
                                                    {WM_ERASEBKGND, 0, On::EraseBkgnd<PaintingWnd>}};
    static inline const MessageMap s_map{&CWnd::s_messageMap, s_entries};
};

TEST(PaintingTest, TheEraseComesBeforeThePaintOnlyWhenRequested)
{
    PaintingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "paint", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 120, 80), nullptr, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd.m_native));
    ASSERT_TRUE(WaitUntil([&] { return !wnd.Only({WM_PAINT}).empty(); }));

    wnd.m_received.clear();
    wnd.Invalidate(true);
    wnd.UpdateWindow();
    const auto painted = wnd.Only({WM_ERASEBKGND, WM_PAINT});
    ASSERT_EQ(painted.size(), 2u);
    EXPECT_EQ(painted[0].message, UINT(WM_ERASEBKGND));
    EXPECT_NE(painted[0].wParam, 0u);
    EXPECT_EQ(painted[1].message, UINT(WM_PAINT));
    EXPECT_FALSE(wnd.m_invalidated || wnd.m_eraseRequested);

    wnd.m_received.clear();
    wnd.Invalidate(false);
    ASSERT_TRUE(WaitUntil([&] { return !wnd.Only({WM_PAINT}).empty(); }));
    EXPECT_TRUE(wnd.Only({WM_ERASEBKGND}).empty());
}

TEST(PaintingTest, ABlockCopyLandsInTheClientAreaInsideAClientEdge)
{
    PaintingWnd top;
    ASSERT_TRUE(top.Create(nullptr, "copy", WS_OVERLAPPED, CRect(0, 0, 40, 20), nullptr, 0));
    const QImage image = top.m_native->grab().toImage();
    EXPECT_EQ(image.pixel(5, 5), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(6, 5), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(11, 6), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(12, 6), 0xFF00FF00u);

    PaintingWnd child;
    child.m_exStyle = WS_EX_CLIENTEDGE;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(10, 20, 60, 50), &top, 5));
    EXPECT_EQ(child.m_native->geometry(), QRect(10, 20, 50, 30));
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 46, 26));
    EXPECT_EQ(child.m_native->grab().toImage().pixel(7, 7), 0xFF00FF00u);
}

// A frame whose create handler makes its pane and one more child, as a main frame does.
class TestFrame : public CFrameWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    int OnCreate(const CREATESTRUCT*)
    {
        const DWORD style = WS_CHILD | WS_VISIBLE;
        const bool pane = m_pane.Create(nullptr, nullptr, style, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
        return pane && m_other.Create(nullptr, nullptr, style, CRect(1, 2, 30, 40), this, 7) ? 0 : -1;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            m_commands.push_back(wParam);
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    QList<QAction*> Menu(int index) const
    {
        return m_native->findChild<QMenuBar*>()->actions().at(index)->menu()->actions();
    }

    RecordingWnd m_pane;
    RecordingWnd m_other;
    std::vector<WPARAM> m_commands;
    static inline const MessageEntry s_entries[] = {{WM_CREATE, 0, On::Create<TestFrame>}};
    static inline const MessageMap s_map{&CFrameWnd::s_messageMap, s_entries};
};

class FrameTest : public ::testing::Test
{
protected:
    wndtest::ScopedResourceModule m_resources{&wndtest::kModule};
};

TEST_F(FrameTest, MenuItemsAndAcceleratorsFromTheResourcesPostTheirCommands)
{
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(wndtest::kFrameId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    EXPECT_EQ(frame.m_native->windowTitle(), QStringLiteral("Test Frame"));
    EXPECT_FALSE(frame.m_native->windowIcon().isNull());
    const QList<QShortcut*> shortcuts = frame.m_native->findChildren<QShortcut*>();
    ASSERT_EQ(shortcuts.size(), 3);
    EXPECT_EQ(shortcuts[0]->key(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(shortcuts[1]->key(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));

    frame.Menu(1).at(0)->menu()->actions().at(0)->trigger();
    frame.Menu(1).at(1)->trigger();
    emit shortcuts[2]->activated();
    EXPECT_TRUE(frame.m_commands.empty());
    ASSERT_TRUE(WaitUntil([&] { return frame.m_commands.size() == 3; }));
    EXPECT_EQ(frame.m_commands, (std::vector<WPARAM>{MakeLParam(wndtest::kCommandDeep, 0),
                                                     MakeLParam(wndtest::kCommandApp, 0), MakeLParam(ID_NEXT_PANE, 1)}));
}

TEST_F(FrameTest, ThePaneCoversTheClientAreaAndFollowsEveryResize)
{
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(wndtest::kFrameId, WS_OVERLAPPEDWINDOW));
    const int menuHeight = frame.m_native->findChild<QMenuBar*>()->height();
    ASSERT_GT(menuHeight, 0);
    CRect client;
    frame.GetClientRect(&client);
    EXPECT_EQ(client.Height(), frame.m_native->height() - menuHeight);
    EXPECT_EQ(frame.m_pane.m_native->geometry(), QRect(0, menuHeight, client.Width(), client.Height()));

    frame.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.m_native));
    frame.m_native->resize(500, 400);
    ASSERT_TRUE(WaitUntil([&] { return frame.m_pane.m_native->width() == 500; }));
    EXPECT_EQ(frame.m_pane.m_native->geometry(), QRect(0, menuHeight, 500, 400 - menuHeight));
    const wndtest::Received size = frame.m_pane.Only({WM_SIZE}).back();
    EXPECT_EQ(size.wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(size.lParam, MakeLParam(500, unsigned(400 - menuHeight)));
    // Only the pane is stretched.
    EXPECT_EQ(frame.m_other.m_native->geometry(), QRect(1, 2 + menuHeight, 29, 38));
}

TEST_F(FrameTest, ClosingTheFrameDestroysItAndItsChildren)
{
    TestFrame frame;
    ASSERT_TRUE(frame.LoadFrame(wndtest::kFrameId, WS_OVERLAPPEDWINDOW));
    frame.ShowWindow(SW_SHOW);
    const QPointer<QWidget> widget = frame.m_native;
    widget->close();
    EXPECT_FALSE(frame.IsCreated() || frame.m_pane.IsCreated());
    EXPECT_EQ(frame.m_pane.Only({WM_DESTROY}).size(), 1u);
    // Closed from inside its own event, the widget goes once the event loop comes round.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
}

TEST_F(FrameTest, RunEndsWithStatusZeroOnceExitHasClosedTheMainWindow)
{
    CWinApp app;
    auto* const frame = new TestFrame;
    ASSERT_TRUE(frame->LoadFrame(wndtest::kFrameId, WS_OVERLAPPEDWINDOW));
    app.m_pMainWnd = frame;
    frame->ShowWindow(SW_SHOW);
    const QPointer<QWidget> widget = frame->m_native;
    QTimer::singleShot(0, frame->Menu(0).at(0), &QAction::trigger);
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    guard.start(wndtest::kDeadlineMs);
    EXPECT_EQ(app.Run(), 0);
    guard.stop();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(widget.isNull());
}

}  // namespace
