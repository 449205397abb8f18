#include "sound/Synth.h"

#include <algorithm>
#include <cmath>

#include "sound/Effect.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;

// A small generator of our own: the noise must sound the same on every platform.
class CNoise
{
public:
    explicit CNoise(unsigned seed) : m_state(seed | 1u) {}
    float Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return float(m_state) / 2147483648.0f - 1.0f;
    }

private:
    unsigned m_state;
};

float Oscillator(const SynthParams& params, float phase, float held)
{
    switch (params.wave) {
    case Wave::Square: return phase < params.duty ? 1.0f : -1.0f;
    case Wave::Saw: return 2.0f * phase - 1.0f;
    case Wave::Triangle: return phase < 0.5f ? 4.0f * phase - 1.0f : 3.0f - 4.0f * phase;
    case Wave::Sine: return std::sin(kTwoPi * phase);
    case Wave::Noise: return held;
    }
    return 0.0f;
}

float Envelope(const SynthParams& params, float t)
{
    if (t < params.attack)
        return t / params.attack;
    t -= params.attack;
    if (t < params.sustain)
        return 1.0f;
    t -= params.sustain;
    const float left = 1.0f - t / params.decay;
    return left > 0.0f ? left * left : 0.0f;
}

int SynthLength(const SynthParams& params)
{
    return int((params.attack + params.sustain + params.decay) * kSampleRate);
}

}  // namespace

std::vector<float> Synthesise(const SynthParams& params)
{
    const int length = SynthLength(params);
    std::vector<float> out(std::size_t(length), 0.0f);
    CNoise noise(params.seed);
    // The filter's coefficient for a one-pole low-pass at the cut-off frequency.
    const float smoothing = params.lowpassHz > 0.0f
                                ? 1.0f - std::exp(-kTwoPi * params.lowpassHz / kSampleRate)
                                : 1.0f;
    const float slide = std::log(params.endHz / params.startHz);
    float phase = 0.0f;
    float held = noise.Next();  // the noise wave holds one value per period, as sfxr's does
    float filtered = 0.0f;
    for (int i = 0; i < length; ++i) {
        const float at = float(i) / float(length);
        float hz = params.startHz * std::exp(slide * at);
        if (params.jumpAt > 0.0f && at >= params.jumpAt)
            hz *= params.jumpRatio;
        phase += hz / kSampleRate;
        if (phase >= 1.0f) {
            phase -= std::floor(phase);
            held = noise.Next();
        }
        const float tone = Oscillator(params, phase, held);
        const float sample = tone * (1.0f - params.noise) + noise.Next() * params.noise;
        filtered += smoothing * (sample - filtered);
        out[std::size_t(i)] = filtered * Envelope(params, float(i) / kSampleRate);
    }
    float largest = 0.0f;
    for (const float sample : out)
        largest = std::max(largest, std::fabs(sample));
    if (largest > 0.0f) {
        for (float& sample : out)
            sample *= params.peak / largest;
    }
    return out;
}
