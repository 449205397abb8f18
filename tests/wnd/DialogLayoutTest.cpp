// The dialog and window rules every backend shares, with worked numbers.
#include <gtest/gtest.h>

#include "platform/wnd/DialogLayout.h"

namespace {

TEST(DialogLayout, UnitsRoundToTheNearestPixelAndTheAverageIsTheClassicOne)
{
    EXPECT_EQ(MulDiv(34, 13, 8), 55);  // 55.25
    EXPECT_EQ(MulDiv(14, 13, 8), 23);  // 22.75
    EXPECT_EQ(MulDiv(3, 1, 2), 2);     // halves away from zero
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(1 << 29, 6, 4), 805306368);  // no overflow on the way
    // 52 letters 311 pixels wide: 311 / 26 = 11, (11 + 1) / 2 = 6; 337 wide: 12, then 6 again.
    EXPECT_EQ(BaseUnitsFromAlphabet(311, 13).x, 6);
    EXPECT_EQ(BaseUnitsFromAlphabet(337, 13).x, 6);
    EXPECT_EQ(BaseUnitsFromAlphabet(338, 13).x, 7);
    EXPECT_EQ(BaseUnitsFromAlphabet(338, 13).y, 13);
}

TEST(DialogLayout, StaticsShowTheirTextWithoutMarksAndOnlyWholeLines)
{
    EXPECT_EQ(StaticText("&Keys && more&", 0), "Keys & more&");
    EXPECT_EQ(StaticText("&Keys", SS_NOPREFIX), "&Keys");
    EXPECT_EQ(StaticText(nullptr, 0), "");
    int at = 0;
    EXPECT_EQ(MnemonicText("&&Fast &Keys &x", &at), "&Fast Keys x");
    EXPECT_EQ(at, 6);
    EXPECT_EQ(MnemonicText("\xC3\xA9&x", &at), "\xC3\xA9x");
    EXPECT_EQ(at, 1);
    EXPECT_EQ(MnemonicText("Plain", &at), "Plain");
    EXPECT_EQ(at, -1);
    EXPECT_EQ(WholeLinesHeight(34, 13), 26);
    EXPECT_EQ(WholeLinesHeight(26, 13), 26);
    EXPECT_EQ(WholeLinesHeight(10, 13), 10);  // shorter than a line: its own height

    // The About box in a font of 6 x 13 with lines 15 apart.
    const DialogItemTemplate items[] = {
        {DialogControl::Static, "&Vexlor v1.2", 39, 7, 52, 16, 0xFFFF, 0},
        {DialogControl::DefPushButton, "&OK", 76, 34, 50, 14, IDOK, 0},
    };
    const DialogTemplate about{100, "Vexlor", "MS Sans Serif", 0, 133, 55, items};
    EXPECT_EQ(DialogPointSize(about), 8);
    const DialogLayout layout = LayOutDialog(about, DialogBaseUnits{6, 13}, 15);
    EXPECT_EQ(layout.client.cx, 200);  // 199.5
    EXPECT_EQ(layout.client.cy, 89);   // 89.375
    ASSERT_EQ(layout.items.size(), 2u);
    EXPECT_EQ(layout.items[0].text, "Vexlor v1.2");
    EXPECT_EQ(layout.items[0].rect, CRect(59, 11, 137, 26));  // of 26 pixels, one whole line
    EXPECT_EQ(layout.items[1].text, "&OK");                   // the toolkit shows a button's mark
    EXPECT_EQ(layout.items[1].rect, CRect(114, 55, 189, 78));
    EXPECT_EQ(layout.items[1].id, UINT(IDOK));
}

TEST(DialogLayout, AChildWindowsEdgeComesFromItsStyles)
{
    CREATESTRUCT cs;
    cs.style = WS_CHILD | WS_BORDER;
    EXPECT_EQ(WindowEdge(cs, false), 1);
    cs.dwExStyle = WS_EX_CLIENTEDGE;
    EXPECT_EQ(WindowEdge(cs, false), 2);
    EXPECT_EQ(WindowEdge(cs, true), 0);
    cs = CREATESTRUCT{};
    EXPECT_EQ(WindowEdge(cs, false), 0);
}

}  // namespace
