#pragma once
// CEffectBank: every effect of the game, synthesised once when the game starts, with the
// number of voices each may sound at once so that a busy arena stays clear.
#include <span>
#include <vector>

#include "sound/Effect.h"
#include "sound/Synth.h"

class CEffectBank
{
public:
    CEffectBank();

    std::span<const float> Samples(Effect effect) const { return m_samples[int(effect)]; }
    static const SynthParams& Params(Effect effect);
    static int VoiceLimit(Effect effect);

private:
    std::vector<float> m_samples[kEffectCount];
};
