// The colour-blind palette against the three kinds of dichromacy (Machado 2009) and normal
// vision: every two ship colours at least 15 apart (CIEDE2000), each at least 3:1 on black.
#include <gtest/gtest.h>

#include "ColourVision.h"
#include "ships/Palette.h"

namespace {

Rgb8 Channels(COLORREF c)
{
    return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
}

double SmallestDifference(const COLORREF (&colours)[6], Vision vision)
{
    double smallest = 1e9;
    for (int i = 0; i < 6; ++i) {
        for (int j = i + 1; j < 6; ++j)
            smallest = std::min(smallest, Ciede2000(Seen(Channels(colours[i]), vision), Seen(Channels(colours[j]), vision)));
    }
    return smallest;
}

}  // namespace

TEST(Palette, ColourScienceMatchesPublishedValues)
{
    // Sharma, Wu and Dalal's CIEDE2000 test data, pairs 1 and 7.
    EXPECT_NEAR(Ciede2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(Ciede2000({50, 0, 0}, {50, -1, 2}), 2.3669, 1e-4);
    EXPECT_NEAR(ContrastOnBlack({0, 0, 255}), 2.444, 1e-3);
    // The classic colours: green and dark yellow come to 4.5 under deuteranopia.
    const COLORREF classic[6] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};
    EXPECT_NEAR(SmallestDifference(classic, Vision::Deuteranopia), 4.45, 0.01);
}

TEST(Palette, EveryPairStaysApartUnderEveryVisionAndStandsOutOnBlack)
{
    for (const Vision vision : kVisions)
        EXPECT_GE(SmallestDifference(kColourBlindPalette, vision), 15.0) << int(vision);
    for (const COLORREF colour : kColourBlindPalette)
        EXPECT_GE(ContrastOnBlack(Channels(colour)), 3.0) << std::hex << colour;
}
