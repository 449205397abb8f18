// Every effect: its length, its peak, the way its pitch goes and no NaN.
#include <gtest/gtest.h>

#include <cmath>

#include "sound/EffectBank.h"

namespace {

// Sign changes per sample over [from, to): rises and falls with the pitch.
double CrossingRate(std::span<const float> s, std::size_t from, std::size_t to)
{
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        crossings += (s[i - 1] < 0.0f) != (s[i] < 0.0f);
    return double(crossings) / double(to - from);
}

}  // namespace

TEST(Synth, EveryEffectIsShortLoudEnoughBelowMinusOneDbfsAndGoesItsWay)
{
    const CEffectBank bank;
    for (int i = 0; i < kEffectCount; ++i) {
        const Effect effect = Effect(i);
        const SynthParams& params = CEffectBank::Params(effect);
        const std::span<const float> s = bank.Samples(effect);
        SCOPED_TRACE(i);
        ASSERT_GE(s.size(), 2400u);   // 50 ms
        ASSERT_LE(s.size(), 57600u);  // 1.2 s
        float peak = 0.0f;
        for (const float x : s) {
            ASSERT_FALSE(std::isnan(x));
            peak = std::max(peak, std::fabs(x));
        }
        EXPECT_LE(peak, 0.8913f);
        EXPECT_GE(peak, 0.25f);
        EXPECT_LT(std::fabs(s.back()), 0.01f);  // it ends without a click
        const std::size_t third = s.size() / 3;
        const double early = CrossingRate(s, 0, third), late = CrossingRate(s, 2 * third, s.size());
        if (params.endHz > params.startHz)
            EXPECT_GT(late, early);
        else
            EXPECT_LT(late, early);
    }
}

TEST(Synth, LengthIsAttackSustainAndDecay)
{
    // 2 ms + 20 ms + 80 ms at 48 kHz.
    EXPECT_EQ(CEffectBank().Samples(Effect::ShotSingle).size(), 4896u);
}
