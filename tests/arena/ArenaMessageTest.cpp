// The view's messages reach their handlers through its message table.
#include <gtest/gtest.h>

#include <initializer_list>

#include "arena/ArenaTestKit.h"

using arenatest::ArenaTest;
using arenatest::GameState;
using arenatest::kThrustStep;
using arenatest::Press;
using arenatest::QuietScene;

class ArenaMessages : public ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        QuietScene(Arena());
    }

    LRESULT Key(UINT message, UINT key) { return Arena().SendMessage(message, key, MakeLParam(1, 0x1000u + key)); }
};

TEST_F(ArenaMessages, KeyUpReachesOnKeyUpOnce)
{
    // The table names the key-up message twice; only the first entry takes it, so F1
    // toggles the autopilot once, not back again.
    Key(WM_KEYUP, VK_F1);
    EXPECT_TRUE(Ship(0).m_autopilot);
    Key(WM_KEYUP, VK_PRIOR);
    EXPECT_EQ(Arena().m_shipCount, 4);
    Key(WM_KEYUP, 'P');
    EXPECT_TRUE(Arena().m_paused);
}

TEST_F(ArenaMessages, KeyDownAndCharacterMessagesSwitchNothing)
{
    const std::vector<double> before = GameState(Arena());
    for (const UINT key : std::initializer_list<UINT>{VK_F1, VK_F4, 'P', VK_PRIOR, VK_NEXT}) {
        Key(WM_KEYDOWN, key);
        Key(WM_CHAR, key);
    }
    EXPECT_EQ(GameState(Arena()), before);
}

TEST_F(ArenaMessages, TimerMessageRunsATick)
{
    Press(VK_UP);
    Arena().m_invalidated = false;
    Arena().SendMessage(WM_TIMER, 1, 0);
    EXPECT_NEAR(Ship(0).m_velocity.m_x, kThrustStep, 1e-12);
    EXPECT_TRUE(Arena().m_invalidated);
    // Whatever the id.
    Arena().SendMessage(WM_TIMER, 7, 0);
    EXPECT_NEAR(Ship(0).m_velocity.m_x, 2 * kThrustStep, 1e-12);
}

TEST_F(ArenaMessages, ShowWindowStartsTheTimerEveryTime)
{
    const int starts = Arena().m_timerStarts;
    Arena().SendMessage(WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(Arena().m_timerId, 1u);
    EXPECT_EQ(Arena().m_timerElapse, 25u);
    EXPECT_EQ(Arena().m_timerStarts, starts + 1);
    Arena().SendMessage(WM_SHOWWINDOW, 0, 0);
    EXPECT_EQ(Arena().m_timerId, 1u);
    EXPECT_EQ(Arena().m_timerStarts, starts + 2);
}

TEST_F(ArenaMessages, SizeMakesTheSurfaceOfTheClientArea)
{
    Arena().SetDetachedClientSize(320, 240);
    Arena().SendMessage(WM_SIZE, SIZE_RESTORED, MakeLParam(320, 240));
    EXPECT_EQ(Arena().m_memDC.GetPixel(319, 239), 0x000000u);
    EXPECT_EQ(Arena().m_memDC.GetPixel(320, 0), CLR_INVALID);
    EXPECT_EQ(Arena().m_memDC.GetPixel(0, 240), CLR_INVALID);
}

TEST_F(ArenaMessages, PaintMessageDrawsTheFrame)
{
    Arena().m_memDC.FillSolidRect(CRect(0, 0, kWidth, kHeight), 0xFF00FF);
    Arena().SendMessage(WM_PAINT, 0, 0);
    EXPECT_EQ(Arena().m_memDC.GetPixel(kWidth - 1, kHeight - 1), 0x000000u);
    EXPECT_EQ(Arena().m_memDC.GetPixel(101, 300), 0x0000FFu);
}
