#include "sound/EffectBank.h"

namespace {

// -3 dBFS and -6 dBFS: room for several voices before the limiter has work to do.
constexpr float kLoud = 0.708f;
constexpr float kSoft = 0.5f;

struct EffectEntry
{
    SynthParams params;
    int voices;
};

// wave, start Hz, end Hz, attack, sustain, decay, duty, noise, low-pass Hz, jump at, jump
// ratio, peak, seed; then the voice limit. Shots fall in pitch, pick-ups and the respawn
// rise, explosions fall through filtered noise.
constexpr EffectEntry kEffects[kEffectCount] = {
    {{Wave::Square, 880, 330, 0.002f, 0.02f, 0.08f, 0.5f, 0.0f, 6000, 0, 1, kSoft, 1}, 4},       // single shot
    {{Wave::Saw, 1400, 500, 0.002f, 0.03f, 0.10f, 0.5f, 0.1f, 5000, 0, 1, kSoft, 2}, 4},         // spread
    {{Wave::Sine, 300, 1200, 0.005f, 0.10f, 0.20f, 0.5f, 0.0f, 0, 0, 1, kSoft, 3}, 2},           // ring
    {{Wave::Square, 260, 110, 0.002f, 0.05f, 0.12f, 0.25f, 0.2f, 3000, 0, 1, kSoft, 4}, 4},      // stacked shot
    {{Wave::Triangle, 1800, 900, 0.001f, 0.01f, 0.05f, 0.5f, 0.3f, 8000, 0, 1, kSoft, 5}, 4},    // star burst
    {{Wave::Square, 620, 280, 0.002f, 0.02f, 0.09f, 0.125f, 0.0f, 4000, 0, 1, kSoft, 6}, 3},     // sentry's shot
    {{Wave::Noise, 5000, 2500, 0.001f, 0.01f, 0.05f, 0.5f, 0.0f, 0, 0, 1, kSoft, 7}, 4},         // hit spark
    {{Wave::Noise, 900, 60, 0.003f, 0.10f, 0.60f, 0.5f, 0.0f, 2500, 0, 1, kLoud, 8}, 3},         // ship explosion
    {{Wave::Noise, 500, 30, 0.005f, 0.20f, 0.90f, 0.5f, 0.0f, 1800, 0, 1, kLoud, 9}, 2},         // sentry destroyed
    {{Wave::Square, 500, 900, 0.002f, 0.08f, 0.12f, 0.5f, 0.0f, 0, 0.4f, 1.5f, kSoft, 10}, 2},   // weapon
    {{Wave::Saw, 300, 1800, 0.002f, 0.15f, 0.15f, 0.5f, 0.0f, 7000, 0, 1, kSoft, 11}, 2},        // speed boost
    {{Wave::Sine, 500, 700, 0.010f, 0.25f, 0.15f, 0.5f, 0.0f, 0, 0.5f, 1.335f, kSoft, 12}, 2},   // invulnerability
    {{Wave::Triangle, 400, 600, 0.002f, 0.10f, 0.12f, 0.5f, 0.0f, 0, 0.5f, 1.25f, kSoft, 13}, 2}, // hit points
    {{Wave::Square, 300, 180, 0.002f, 0.05f, 0.10f, 0.3f, 0.0f, 2000, 0, 1, kSoft, 14}, 2},      // nothing
    {{Wave::Sine, 200, 900, 0.010f, 0.15f, 0.20f, 0.5f, 0.0f, 0, 0, 1, kSoft, 15}, 3},           // respawn
    {{Wave::Square, 700, 350, 0.002f, 0.04f, 0.08f, 0.5f, 0.0f, 3000, 0.5f, 0.75f, kSoft, 16}, 1}, // pause
    {{Wave::Square, 350, 700, 0.002f, 0.04f, 0.08f, 0.5f, 0.0f, 3000, 0.5f, 1.335f, kSoft, 17}, 1}, // resume
};

}  // namespace

CEffectBank::CEffectBank()
{
    for (int i = 0; i < kEffectCount; ++i)
        m_samples[i] = Synthesise(kEffects[i].params);
}

const SynthParams& CEffectBank::Params(Effect effect)
{
    return kEffects[int(effect)].params;
}

int CEffectBank::VoiceLimit(Effect effect)
{
    return kEffects[int(effect)].voices;
}
