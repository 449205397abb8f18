// The Qt backend tells the seats where the focus is: controllers act while one of our
// windows has it and let go of everything when a window not ours takes it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "app/ControllerSeats.h"
#include "arena/ArenaTestKit.h"
#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"

namespace {

constexpr int kDeadlineMs = 5000;
constexpr int kId = 11;

using testsupport::Held;

using GameFocus = arenatest::ArenaTest;

TEST_F(GameFocus, ControllersActOnlyWhileOneOfOurWindowsHasTheFocus)
{
    SetControllerSeats(g_controllerSeats, m_arena.get(), nullptr);
    NativeControllerAdded(kId);

    CWnd window;
    ASSERT_TRUE(window.Create(nullptr, "ours", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    window.m_native->activateWindow();
    window.SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend::GetFocusWnd() == &window; }, kDeadlineMs));
    NativeControllerButton(kId, ControllerButton::South, true);
    EXPECT_TRUE(Held(VK_RETURN));

    QLineEdit other;
    other.show();
    other.activateWindow();
    other.setFocus();
    EXPECT_TRUE(QTest::qWaitFor([] { return !Held(VK_RETURN); }, kDeadlineMs));
    NativeControllerButton(kId, ControllerButton::DpadUp, true);
    EXPECT_FALSE(Held(VK_UP));

    window.m_native->activateWindow();
    window.SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return backend::GetFocusWnd() == &window; }, kDeadlineMs));
    NativeControllerButton(kId, ControllerButton::DpadUp, true);
    EXPECT_TRUE(Held(VK_UP));

    NativeControllerRemoved(kId);
    SetControllerSeats({}, nullptr, nullptr);
    EXPECT_FALSE(Held(VK_UP));
}

}  // namespace
