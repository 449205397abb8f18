// The arena's sounds: after each timer tick, what changed since the last one is heard;
// online, what changed in each confirmed tick.
#include "arena/ArenaView.h"
#include "platform/wnd/Backend.h"
#include "sound/SoundEvents.h"

void CArenaView::PlaySounds(const CArena& before, const CArena& after)
{
    const SoundEvents events = DeriveSoundEvents(before, after);
    for (int i = 0; i < events.count; ++i) {
        const SoundEvent& event = events.items[i];
        // A paused game is silent: the pause's own sound is the last it makes.
        if (event.effect == Effect::Pause)
            backend::StopSounds();
        backend::PlaySound(event.effect, event.pan);
    }
}
