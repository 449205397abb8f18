#pragma once
// What a player should hear of one tick, found by comparing the arena before the tick with
// the arena after it; the game's rules know nothing of sound. Each event carries the
// effect and where it happened across the arena, -1 at the left edge to +1 at the right,
// for the pan. An online session compares confirmed ticks only, so nothing sounds twice.
#include "arena/Arena.h"
#include "sound/Effect.h"

struct SoundEvent
{
    Effect effect;
    float pan;
};

struct SoundEvents
{
    // More than one tick can make: every ship shoots, is hit and dies, and so on.
    static constexpr int kCapacity = 48;
    SoundEvent items[kCapacity];
    int count = 0;

    void Add(Effect effect, float pan);
};

// The sound of a power-up's kind, as the power-up's effect table maps kinds to effects.
Effect PowerUpSound(int kind);
SoundEvents DeriveSoundEvents(const CArena& before, const CArena& after);
