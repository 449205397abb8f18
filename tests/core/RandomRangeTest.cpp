// With the clock and the generator pinned, RandomRange must match the model draw for draw.
#include <gtest/gtest.h>

#include <climits>

#include "core/RandomRange.h"
#include "support/TestSupport.h"

class RandomRangeTest : public testsupport::PinnedRandomTest
{};

TEST_F(RandomRangeTest, ReproducesTheGeneratorForAPinnedClock)
{
    const std::pair<int, int> ranges[] = {{0, 0}, {1, 5},   {50, 1000}, {0, 255},   {1, 500},     {0, 6},
                                          {5, 25}, {1, 300}, {0, 20},   {0, 32767}, {0, INT_MAX}, {32767, INT_MAX}};
    for (const std::int32_t seconds : {1700000000, 0, -5, INT_MAX}) {
        testsupport::g_pinnedSeconds = seconds;
        g_randomGenerator.m_state = kStartState;
        testsupport::ReferenceRandom reference = Reference();
        for (int round = 0; round < 20; ++round) {
            for (const auto& [lo, hi] : ranges) {
                ASSERT_EQ(RandomRange(lo, hi), reference.Range(lo, hi)) << "t=" << seconds << " " << lo << ".." << hi;
                ASSERT_EQ(g_randomGenerator.m_state, reference.m_state);
            }
        }
    }
    // The re-seed reads the clock on every call.
    testsupport::g_pinnedSeconds = 1700000000;
    g_randomGenerator.m_state = kStartState;
    const int first = RandomRange(0, 32767);
    testsupport::g_pinnedSeconds = 1700000001;
    g_randomGenerator.m_state = kStartState;
    EXPECT_NE(RandomRange(0, 32767), first);
}

TEST_F(RandomRangeTest, StaysInRange)
{
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(RandomRange(0, 0), 0);
        const int small = RandomRange(1, 5);
        EXPECT_TRUE(small >= 1 && small <= 5) << small;
        const int wide = RandomRange(50, 1000);
        EXPECT_TRUE(wide >= 50 && wide <= 1000) << wide;
    }
}

TEST_F(RandomRangeTest, ImpossibleRangesAnswerLoAfterTheReseed)
{
    for (const auto& [lo, hi] : {std::pair(5, 3), std::pair(-3, -1), std::pair(40000, 50000), std::pair(0, -1)}) {
        testsupport::ReferenceRandom reference = Reference();
        EXPECT_EQ(RandomRange(lo, hi), lo);
        reference.Range(lo, hi);
        EXPECT_EQ(g_randomGenerator.m_state, reference.m_state) << lo << ".." << hi;
    }
}
