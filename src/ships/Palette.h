#pragma once
// The colour-blind palette: colours for the six ships and their scoreboard columns that
// stay apart (CIEDE2000 24 or more) under normal vision, protanopia, deuteranopia and
// tritanopia, each at least 4.5:1 against the black arena and apart from the white text;
// found by tools/palette. The palette is a choice of drawing only: the ships keep their
// own colours (m_colour), so the game's state is the same with it on or off.
#include "platform/gdi/Colour.h"

inline constexpr COLORREF kColourBlindPalette[6] = {
    RGB(215, 60, 24),    // ship 1: red
    RGB(0, 255, 30),     // ship 2: green
    RGB(111, 95, 245),   // ship 3: blue
    RGB(180, 191, 173),  // ship 4: pale sage
    RGB(236, 187, 255),  // ship 5: lavender
    RGB(121, 115, 122),  // ship 6: grey
};
