#pragma once
// CMixer: mixes the effects that sound into one stereo stream of float frames at
// kSampleRate. A fixed set of voices, each an effect played from its start, panned with
// constant power; each effect has a voice limit, and a new voice beyond it takes the place
// of the oldest of the same effect. A limiter with a ceiling of -1 dBFS catches the peaks
// of many voices at once, so the output never clips. Nothing here allocates: it runs
// inside the audio device's callback.
#include <cstdint>

#include "sound/EffectBank.h"

class CMixer
{
public:
    static constexpr int kVoices = 32;
    static constexpr float kCeiling = 0.891f;  // -1 dBFS

    explicit CMixer(const CEffectBank& bank);

    // pan: -1 the far left, 0 the middle, +1 the far right.
    void Play(Effect effect, float pan);
    void StopAll();
    // Muted, the mixer is silent and starts nothing.
    void SetMuted(bool muted);
    // Writes frames stereo frames, left then right, in place of what out held.
    void Render(float* out, int frames);
    int ActiveVoices() const;

private:
    struct Voice
    {
        const float* samples = nullptr;  // null: the voice is free
        int length = 0;
        int position = 0;
        float left = 0.0f;
        float right = 0.0f;
        Effect effect = Effect::ShotSingle;
        std::uint32_t started = 0;
    };

    Voice* VoiceFor(Effect effect);

    const CEffectBank& m_bank;
    Voice m_voices[kVoices];
    std::uint32_t m_started = 0;
    float m_gain = 1.0f;  // the limiter's gain
    bool m_muted = false;
};
