// The browser's sound (Sound.js): the effects are synthesised here, as on the desktop, and
// handed to the page once, when the game first asks for sound.
#include "platform/wnd/Backend.h"
#include "sound/EffectBank.h"

extern "C" {
// Implemented in Sound.js.
void vexlor_to_page_sound_effect(int index, const float* samples, int length);
void vexlor_to_page_sound_play(int index, float pan);
void vexlor_to_page_sound_stop();
void vexlor_to_page_sound_set_on(int on);
}

namespace {

void HandEffectsOver()
{
    static const bool done = [] {
        const CEffectBank bank;
        for (int i = 0; i < kEffectCount; ++i) {
            const std::span<const float> samples = bank.Samples(Effect(i));
            vexlor_to_page_sound_effect(i, samples.data(), int(samples.size()));
        }
        return true;
    }();
    (void)done;
}

}  // namespace

namespace backend {

void PlaySound(Effect effect, float pan)
{
    HandEffectsOver();
    vexlor_to_page_sound_play(int(effect), pan);
}

void StopSounds()
{
    vexlor_to_page_sound_stop();
}

void SetSoundOn(bool on)
{
    HandEffectsOver();
    vexlor_to_page_sound_set_on(on ? 1 : 0);
}

}  // namespace backend
