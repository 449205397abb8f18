// Vector arithmetic with the game's shortened pi and truncating conversions, and RandomRange.
#include <array>
#include <climits>
#include <cmath>

#include "support/TestSupport.h"

using testsupport::Near;

TEST(Vector2, Arithmetic)
{
    // The arctangent is exact; dividing by 3.141592653 puts the diagonals 8.4e-9 off.
    const std::pair<CVector2, double> angles[] = {{{0, 0}, -90},  {{0, 5}, 90},  {{0, -5}, -90}, {{-1, 0}, 180},
                                                  {{1, -1}, -45.0000000084}, {{-1, 1}, 134.9999999916},
                                                  {{-1, -1}, 225.0000000084}};
    for (const auto& [v, angle] : angles)
        EXPECT_NEAR(v.Angle(), angle, 1e-10) << v.m_x << "," << v.m_y;
    const auto rotated = [](CVector2 v, double degrees) { v.Rotate(degrees); return v; };
    EXPECT_TRUE(Near(rotated({0, 2}, -90), 2, 0) && Near(rotated(rotated({3, 4}, 6), -6), 3, 4));
    EXPECT_TRUE(Near(rotated({1, 0}, 90), 0.000000000295, 1, 1e-12));  // right turns to down, not quite exactly
    EXPECT_TRUE(Near(CVector2(4, 6) / 2, 2, 3, 0) && Near(CVector2(4, 6) / 0, 4, 6, 0));
    EXPECT_TRUE(Near(CVector2(0, 1).ScaleNonZero(0.2), 0.02, 0.2));
    EXPECT_TRUE(Near(CVector2().ScaleNonZero(0.2), 0.02, 0.02) && Near(CVector2(3, 0).ScaleNonZero(0.2), 0.6, 0.02));
    const auto resized = [](CVector2 v, double length) { v.SetLength(length); return v; };
    EXPECT_TRUE(Near(resized({}, 5), 0, 0, 0));  // no direction to keep: stays zero instead of becoming NaN

    const std::tuple<CVector2, int, int, CVector2> cases[] = {
        {{799.5, -0.5}, 800, 600, {799.5, 599.5}}, {{800, 600}, 800, 600, {0, 0}}, {{1603, 5}, 800, 600, {3, 5}},
        {{-800, 0}, 800, 600, {800, 0}},  // an exact negative multiple gives the size, not 0
        {{-5, -5}, 0, 600, {-5, 595}},    // a size of 0 leaves that coordinate alone
        {{3000000000.5, -3000000000.5}, 800, 600, {0.5, 599.5}}};  // quotient beyond the int range
    for (auto [in, width, height, out] : cases)
        EXPECT_TRUE(Near(in.Wrap(width, height), out.m_x, out.m_y, 0)) << out.m_x << "," << out.m_y;
    CVector2 far(1e21, -1e21);  // far past any 64-bit quotient: stays finite, no overflow
    far.Wrap(800, 600);
    EXPECT_TRUE(std::isfinite(far.m_x) && std::isfinite(far.m_y));
    EXPECT_EQ((std::array{CVector2(-0.7, 3.9).ToPoint(), CVector2(-1.2, 0).ToPoint(), CVector2(1e20, -1e20).ToPoint()}),
              (std::array{CPoint(0, 3), CPoint(-1, 0), CPoint(INT_MAX, INT_MIN)}));
}

using RandomRangeTest = testsupport::PinnedRandomTest;

TEST_F(RandomRangeTest, ReproducesTheGeneratorForAPinnedClock)
{
    // Ranges no draw can hit answer lo, after the re-seed all the same.
    const std::pair<int, int> ranges[] = {{0, 0},           {1, 5}, {50, 1000}, {0, 32767},    {0, INT_MAX},
                                          {32767, INT_MAX}, {5, 3}, {-3, -1},   {40000, 50000}};
    for (const std::int32_t seconds : {1700000000, 0, INT_MAX}) {
        testsupport::g_pinnedSeconds = seconds;  // the clock is read on every call
        testsupport::ReferenceRandom reference = Reference();
        for (int round = 0; round < 20; ++round)
            for (const auto& [lo, hi] : ranges) {
                const int r = RandomRange(lo, hi), expected = reference.Range(lo, hi);
                ASSERT_EQ(std::pair(r, g_randomGenerator.m_state), std::pair(expected, reference.m_state)) << lo;
                ASSERT_TRUE(lo > hi || hi < 0 || lo > 32767 ? r == lo : r >= lo && r <= hi) << r;
            }
    }
}
