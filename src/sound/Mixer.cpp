#include "sound/Mixer.h"

#include <algorithm>
#include <cmath>

namespace {

// The limiter lets its gain back up to 1 over about 50 ms after a peak.
constexpr float kRelease = 1.0f / (0.05f * kSampleRate);

}  // namespace

CMixer::CMixer(const CEffectBank& bank) : m_bank(bank) {}

CMixer::Voice* CMixer::VoiceFor(Effect effect)
{
    Voice* oldestSame = nullptr;
    Voice* oldest = nullptr;
    Voice* freeVoice = nullptr;
    int same = 0;
    for (Voice& voice : m_voices) {
        if (!voice.samples) {
            freeVoice = freeVoice ? freeVoice : &voice;
            continue;
        }
        if (!oldest || voice.started < oldest->started)
            oldest = &voice;
        if (voice.effect == effect) {
            ++same;
            if (!oldestSame || voice.started < oldestSame->started)
                oldestSame = &voice;
        }
    }
    if (same >= CEffectBank::VoiceLimit(effect))
        return oldestSame;
    return freeVoice ? freeVoice : oldest;
}

void CMixer::Play(Effect effect, float pan)
{
    if (m_muted)
        return;
    const std::span<const float> samples = m_bank.Samples(effect);
    Voice& voice = *VoiceFor(effect);
    const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.785398163f;
    voice = {samples.data(), int(samples.size()), 0, std::cos(angle), std::sin(angle), effect, ++m_started};
}

void CMixer::StopAll()
{
    for (Voice& voice : m_voices)
        voice.samples = nullptr;
}

void CMixer::SetMuted(bool muted)
{
    m_muted = muted;
    if (muted)
        StopAll();
}

int CMixer::ActiveVoices() const
{
    return int(std::count_if(std::begin(m_voices), std::end(m_voices), [](const Voice& v) { return v.samples; }));
}

void CMixer::Render(float* out, int frames)
{
    std::fill(out, out + 2 * frames, 0.0f);
    for (Voice& voice : m_voices) {
        if (!voice.samples)
            continue;
        const int count = std::min(frames, voice.length - voice.position);
        const float* samples = voice.samples + voice.position;
        for (int i = 0; i < count; ++i) {
            out[2 * i] += samples[i] * voice.left;
            out[2 * i + 1] += samples[i] * voice.right;
        }
        voice.position += count;
        if (voice.position >= voice.length)
            voice.samples = nullptr;
    }
    for (int i = 0; i < frames; ++i) {
        const float peak = std::max(std::fabs(out[2 * i]), std::fabs(out[2 * i + 1]));
        // Instant attack: a peak above the ceiling sets the gain that brings it down to it.
        if (peak * m_gain > kCeiling)
            m_gain = kCeiling / peak;
        // The clamp only catches the last bit of rounding in the division above.
        out[2 * i] = std::clamp(out[2 * i] * m_gain, -kCeiling, kCeiling);
        out[2 * i + 1] = std::clamp(out[2 * i + 1] * m_gain, -kCeiling, kCeiling);
        m_gain = std::min(1.0f, m_gain + kRelease);
    }
}
