// The game's own sine, cosine and arc tangent: within one unit in the last place of the C
// library's across the angles of the game and beyond, exact where the value is, and the C
// library's own beyond the range they reduce.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/Trig.h"

namespace {

std::int64_t Ulps(double a, double b)
{
    std::int64_t ia, ib;
    std::memcpy(&ia, &a, sizeof ia);
    std::memcpy(&ib, &b, sizeof ib);
    // Values of one sign only here, so the bit patterns order like the values.
    return ia > ib ? ia - ib : ib - ia;
}

}  // namespace

TEST(Trig, WithinOneUlpOfTheLibraryAcrossTheGamesAnglesAndBeyond)
{
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    constexpr int kSamples = 200000;
    for (int i = 0; i < kSamples; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        // -2000..2000 radians, every fourth sample within -1..1; the game's stay within -2..5.
        const double unit = double(state >> 11) / double(1ull << 53);
        const double x = (i % 4 == 0 ? 2.0 * unit - 1.0 : 4000.0 * unit - 2000.0);
        for (const auto& [ours, theirs] : {std::pair{trig::Sin(x), std::sin(x)}, std::pair{trig::Cos(x), std::cos(x)},
                                           std::pair{trig::Atan(x * 1e-3), std::atan(x * 1e-3)},
                                           std::pair{trig::Atan(x * 1e3), std::atan(x * 1e3)}}) {
            // Near a zero of sine or cosine the ulp is tiny; compare by value there.
            if (std::fabs(theirs) < 1e-3)
                ASSERT_NEAR(ours, theirs, 1e-18) << x;
            else
                ASSERT_LE(Ulps(ours, theirs), 1) << x;
        }
    }
}

TEST(Trig, ExactValuesAndEdges)
{
    EXPECT_EQ(trig::Sin(0.0), 0.0);
    EXPECT_TRUE(std::signbit(trig::Sin(-0.0)));
    EXPECT_EQ(trig::Cos(0.0), 1.0);
    EXPECT_EQ(trig::Sin(1e-9), 1e-9);        // below 2^-27, sin x is x
    EXPECT_EQ(trig::Cos(1e-9), 1.0);
    EXPECT_EQ(trig::Atan(1.0), 0.78539816339744830962);  // pi/4, correctly rounded
    EXPECT_EQ(trig::Atan(-1.0), -0.78539816339744830962);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(trig::Atan(inf), 1.57079632679489661923);
    EXPECT_EQ(trig::Atan(-inf), -1.57079632679489661923);
    EXPECT_EQ(trig::Atan(1e300), 1.57079632679489661923);
    EXPECT_TRUE(std::isnan(trig::Atan(std::nan(""))));
    EXPECT_TRUE(std::isnan(trig::Sin(inf)) && std::isnan(trig::Cos(inf)));
    // On either side of pi/4, where reduction begins, and of each quadrant's boundary.
    for (const double x : {0.78539816339744828, 0.78539816339744839, 1.5707963267948966, 3.1415926535897931,
                           4.7123889803846897, -2.3561944901923448})
        EXPECT_LE(Ulps(std::fabs(trig::Sin(x)) + 1.0, std::fabs(std::sin(x)) + 1.0), 1) << x;
    // Beyond 2^20 pi/2 the library answers.
    const double far = 1e7;
    EXPECT_EQ(trig::Sin(far), std::sin(far));
    EXPECT_EQ(trig::Cos(far), std::cos(far));
}
