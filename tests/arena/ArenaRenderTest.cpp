// Frame rendering: the scoreboard's cells, colours and numbers, and the erase handler.
#include <gtest/gtest.h>

#include <string>

#include "arena/ArenaTestKit.h"

using ArenaRender = arenatest::ArenaTest;

TEST_F(ArenaRender, ScoreboardCellsColoursAndSigns)
{
    const COLORREF colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00C8C8, 0xC8C800, 0xC800C8};
    const int scores[] = {7, 12, -3, 40, 5, 9};
    Calm();  // nothing drawn in the scoreboard's band
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        Ship(i).m_score = scores[i];
        Ship(i).m_deaths = 3 * i;
    }
    Sentry().m_score = -15;
    Sentry().m_deaths = 2;
    for (const int count : {3, 6}) {
        Arena().m_shipCount = count;
        Arena().OnPaint();
        // Ship columns 30 apart from x = 100 in the ship's colour, the sentry's at 300 and
        // the labels at 10 in white; scores at y = 10, deaths at y = 30, on black cells.
        testsupport::Surface expected(800, 60), band(800, 60);
        CDC* const dc = expected.Dc();
        dc->FillSolidRect(CRect(0, 0, 800, 60), 0x000000);
        for (int i = 0; i < count; ++i) {
            dc->SetTextColor(colours[i]);
            dc->TextOut(100 + 30 * i, 10, std::to_string(scores[i]));
            dc->TextOut(100 + 30 * i, 30, std::to_string(3 * i));
        }
        dc->SetTextColor(0xFFFFFF);
        dc->TextOut(300, 10, "-15");
        dc->TextOut(300, 30, "2");
        dc->TextOut(10, 10, "Score:");
        dc->TextOut(10, 30, "Deaths:");
        band.Dc()->BitBlt(0, 0, 800, 60, &Arena().m_memDC, 0, 0, SRCCOPY);
        EXPECT_EQ(band.Lit(), expected.Lit()) << count << " ships";
    }
}

// The frame covers the whole client area itself (the busy session of the frame tests proves
// it at every size): the background is never erased.
TEST_F(ArenaRender, EraseIsDeclined)
{
    EXPECT_FALSE(Arena().OnEraseBkgnd(&Arena().m_memDC));
    EXPECT_EQ(Arena().SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&Arena().m_memDC), 0), 0);
}
