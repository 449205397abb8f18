// Message tables: the order of entries, the base table, default processing, and the route
// of a command (matched on its id) through the frame's table and then the application's.
#include <gtest/gtest.h>

#include <string>

#include "platform/wnd/FrameWnd.h"
#include "platform/wnd/WinApp.h"
#include "wnd/WndTestKit.h"

namespace {

std::vector<std::string> g_log;

class BaseWnd : public CWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM) override
    {
        g_log.push_back("default " + std::to_string(message) + " " + std::to_string(wParam));
        return 7;
    }
    void OnSize(UINT, int width, int height) { g_log.push_back("base size " + std::to_string(width + height)); }
    void OnKeyUp(UINT, UINT, UINT) { g_log.push_back("base key-up"); }
    static const MessageMap s_map;
};
const MessageEntry kBaseEntries[] = {{WM_SIZE, 0, On::Size<BaseWnd>}, {WM_KEYUP, 0, On::KeyUp<BaseWnd>}};
const MessageMap BaseWnd::s_map{&CWnd::s_messageMap, kBaseEntries};

class DerivedWnd : public BaseWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    void OnKeyUp(UINT, UINT, UINT) { g_log.push_back("first key-up"); }
    void OnTimer(UINT_PTR)
    {
        SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(3, 4));
        g_log.push_back("result " + std::to_string(Default()));
    }
    static const MessageMap s_map;
};
const MessageEntry kDerivedEntries[] = {
    {WM_CHAR, 0, On::Default},
    {WM_TIMER, 0, On::Timer<DerivedWnd>},
    {WM_KEYUP, 0, On::KeyUp<DerivedWnd>},
    {WM_KEYUP, 0, [](CCmdTarget&, WPARAM, LPARAM) -> LRESULT { g_log.push_back("second key-up"); return 0; }},
};
const MessageMap DerivedWnd::s_map{&BaseWnd::s_map, kDerivedEntries};

TEST(MessageMapTest, FirstEntryWinsThenTheBaseTableThenDefaultProcessing)
{
    g_log.clear();
    DerivedWnd wnd;
    wnd.SendMessage(WM_KEYUP, 'P', 0);
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(640, 480));
    EXPECT_EQ(wnd.SendMessage(WM_PAINT, 11, 0), 7);
    EXPECT_EQ(wnd.SendMessage(WM_CHAR, 'x', 0), 7);
    // Default() inside the timer handler, after a nested message, still means the timer message.
    wnd.SendMessage(WM_TIMER, 5, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"first key-up", "base size 1120", "default 15 11", "default 258 120",
                                               "base size 7", "default 275 5", "result 7"}));
}

class RoutingApp : public CWinApp
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    void OnApp() { g_log.push_back("app"); }
    void OnBoth() { g_log.push_back("app both"); }
    static const MessageMap s_map;
};
const MessageEntry kAppEntries[] = {
    {WM_COMMAND, wndtest::kCommandApp, On::Command<RoutingApp, &RoutingApp::OnApp>},
    {WM_COMMAND, wndtest::kCommandBoth, On::Command<RoutingApp, &RoutingApp::OnBoth>},
};
const MessageMap RoutingApp::s_map{&CWinApp::s_messageMap, kAppEntries};

class RoutingFrame : public CFrameWnd
{
public:
    const MessageMap* GetMessageMap() const override { return &s_map; }
    void OnFrame() { g_log.push_back("frame"); }
    void OnBoth() { g_log.push_back("frame both"); }
    static const MessageMap s_map;
};
const MessageEntry kFrameEntries[] = {
    {WM_COMMAND, wndtest::kCommandFrame, On::Command<RoutingFrame, &RoutingFrame::OnFrame>},
    {WM_COMMAND, wndtest::kCommandBoth, On::Command<RoutingFrame, &RoutingFrame::OnBoth>},
};
const MessageMap RoutingFrame::s_map{&CFrameWnd::s_messageMap, kFrameEntries};

TEST(CommandRoutingTest, TheFrameTableComesFirstThenTheApplicationAndUnknownIdsDoNothing)
{
    g_log.clear();
    CWinApp* const before = AfxGetApp();
    {
        RoutingApp app;
        ASSERT_EQ(AfxGetApp(), &app);
        RoutingFrame frame;
        for (const UINT id : {UINT(wndtest::kCommandFrame), UINT(wndtest::kCommandApp), UINT(wndtest::kCommandBoth), 499u})
            EXPECT_EQ(frame.SendMessage(WM_COMMAND, id, 0), 0);
        EXPECT_FALSE(frame.OnCmdMsg(499));
        EXPECT_EQ(g_log, (std::vector<std::string>{"frame", "app", "frame both"}));

        // The application's own table ends the program by closing the main window.
        ASSERT_TRUE(frame.Create(nullptr, "main", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0));
        app.m_pMainWnd = &frame;
        frame.SendMessage(WM_COMMAND, ID_APP_EXIT, 0);
        EXPECT_FALSE(frame.IsCreated());
    }
    EXPECT_EQ(AfxGetApp(), before);
}

}  // namespace
