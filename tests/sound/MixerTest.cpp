// The mixer and the engine in front of it: voice limits, pan, the limiter, a sound in the
// first buffer after its command, and mute.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/SoundEngine.h"

namespace {

const CEffectBank& Bank()
{
    static const CEffectBank bank;
    return bank;
}

struct Levels
{
    float left = 0.0f, right = 0.0f;
};

Levels Peaks(CMixer& mixer, int frames)
{
    std::vector<float> out(std::size_t(2 * frames));
    mixer.Render(out.data(), frames);
    Levels peaks;
    for (int i = 0; i < frames; ++i) {
        peaks.left = std::max(peaks.left, std::fabs(out[std::size_t(2 * i)]));
        peaks.right = std::max(peaks.right, std::fabs(out[std::size_t(2 * i + 1)]));
    }
    return peaks;
}

}  // namespace

TEST(Mixer, VoiceLimitTakesTheOldestVoiceOfTheSameEffect)
{
    CMixer mixer(Bank());
    for (int i = 0; i < 3; ++i)
        mixer.Play(Effect::ShotRing, 0.0f);  // a limit of 2
    EXPECT_EQ(mixer.ActiveVoices(), 2);
    for (int i = 0; i < 40; ++i)
        mixer.Play(Effect(i % kEffectCount), 0.0f);
    EXPECT_EQ(mixer.ActiveVoices(), CMixer::kVoices);
}

TEST(Mixer, PansWithConstantPower)
{
    CMixer mixer(Bank());
    mixer.Play(Effect::Respawn, -1.0f);
    const Levels left = Peaks(mixer, 4800);
    EXPECT_GT(left.left, 0.3f);
    EXPECT_EQ(left.right, 0.0f);
    mixer.StopAll();
    mixer.Play(Effect::Respawn, 0.0f);
    const Levels middle = Peaks(mixer, 4800);
    EXPECT_FLOAT_EQ(middle.left, middle.right);
    EXPECT_NEAR(middle.left, left.left * 0.7071f, 0.01f);
}

TEST(Mixer, ManyLoudVoicesStayBelowTheCeiling)
{
    CMixer mixer(Bank());
    for (int i = 0; i < kEffectCount; ++i)
        mixer.Play(Effect(i), 0.0f);
    const Levels peaks = Peaks(mixer, 48000);
    EXPECT_LE(peaks.left, CMixer::kCeiling);
    EXPECT_GT(peaks.left, 0.8f);  // the limiter holds the sum at the ceiling, not far below
}

TEST(SoundEngine, CommandSoundsInTheFirstBufferAfterIt)
{
    CSoundEngine engine;
    std::vector<float> out(1024);
    engine.Post({SoundCommand::Kind::Play, Effect::ShotSingle, 0.0f});
    engine.Render(out.data(), 512);
    float early = 0.0f;
    for (int i = 0; i < 128; ++i)
        early = std::max(early, std::fabs(out[std::size_t(i)]));
    EXPECT_GT(early, 0.05f);  // within the first 64 frames, 1.3 ms
    // Muted, what sounds stops and nothing new starts.
    engine.Post({SoundCommand::Kind::Mute, Effect::ShotSingle, 0.0f});
    engine.Post({SoundCommand::Kind::Play, Effect::ShipExplosion, 0.0f});
    engine.Render(out.data(), 512);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0.0f);
}
