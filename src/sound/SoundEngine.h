#pragma once
// CSoundEngine: the effects, the mixer and the queue between the game's thread and the
// audio device's. The game thread posts; the device's callback renders, taking every
// command posted before it started, so a sound begins in the first buffer after its tick.
#include "sound/CommandQueue.h"
#include "sound/EffectBank.h"
#include "sound/Mixer.h"

class CSoundEngine
{
public:
    CSoundEngine() : m_mixer(m_bank) {}

    // The game thread.
    void Post(const SoundCommand& command) { m_queue.Push(command); }
    // The audio thread: interleaved stereo, frames of them.
    void Render(float* out, int frames);

private:
    CEffectBank m_bank;
    CMixer m_mixer;
    CCommandQueue m_queue;
};
