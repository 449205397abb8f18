#pragma once
// The sounds the game makes, one for each kind of event a player should hear.
#include <cstdint>

enum class Effect : std::uint8_t {
    ShotSingle,
    ShotSpread,
    ShotRing,
    ShotStacked,
    ShotStarBurst,
    SentryShot,
    HitSpark,
    ShipExplosion,
    SentryDestroyed,
    PowerUpWeapon,
    PowerUpSpeed,
    PowerUpInvulnerable,
    PowerUpHitPoints,
    PowerUpNothing,
    Respawn,
    Pause,
    Resume,
};

inline constexpr int kEffectCount = int(Effect::Resume) + 1;
// Every sound is made and mixed at this rate, in float samples.
inline constexpr int kSampleRate = 48000;
