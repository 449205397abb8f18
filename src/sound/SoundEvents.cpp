#include "sound/SoundEvents.h"

#include <algorithm>

#include "armament/Weapon.h"

namespace {

float PanAt(const CArena& arena, const CVector2& position)
{
    if (arena.m_size.cx <= 0)
        return 0.0f;
    return std::clamp(float(position.m_x / arena.m_size.cx) * 2.0f - 1.0f, -1.0f, 1.0f);
}

// A bullet that left in this tick: it was not in flight before, or it was and a new shot
// took its slot (a bullet in flight loses a tick of life every tick).
bool Fired(const CBullet& before, const CBullet& after)
{
    return after.m_active && (!before.m_active || after.m_life >= before.m_life);
}

template <std::size_t N>
bool AnyFired(const CBullet (&before)[N], const CBullet (&after)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (Fired(before[i], after[i]))
            return true;
    }
    return false;
}

Effect ShotSound(const CWeapon* weapon)
{
    if (weapon == &g_spreadWeapon)
        return Effect::ShotSpread;
    if (weapon == &g_ringWeapon)
        return Effect::ShotRing;
    if (weapon == &g_stackedShotWeapon)
        return Effect::ShotStacked;
    if (weapon == &g_starBurstWeapon)
        return Effect::ShotStarBurst;
    return Effect::ShotSingle;
}

void AddShip(SoundEvents& events, const CArena& before, const CArena& after, int i)
{
    const CShip& was = before.m_ships[i];
    const CShip& is = after.m_ships[i];
    if (AnyFired(was.m_bullets, is.m_bullets)) {
        // The keys fire before combat, the autopilot after it: a weapon picked up in this
        // tick fired only from the autopilot.
        events.Add(ShotSound(is.m_autopilot ? is.m_weapon : was.m_weapon), PanAt(after, was.m_position));
    }
    if (is.m_deaths > was.m_deaths) {
        events.Add(Effect::ShipExplosion, PanAt(after, after.m_explosions[i].m_particles[0].m_position));
        events.Add(Effect::Respawn, PanAt(after, is.m_position));
    } else if (is.m_hitPoints < was.m_hitPoints || (is.m_hit && !was.m_hit)) {
        events.Add(Effect::HitSpark, PanAt(after, is.m_position));
    }
}

void AddSentry(SoundEvents& events, const CArena& before, const CArena& after)
{
    const CSentry& was = before.m_sentry;
    const CSentry& is = after.m_sentry;
    if (AnyFired(was.m_bullets, is.m_bullets))
        events.Add(Effect::SentryShot, PanAt(after, is.m_position));
    if (is.m_deaths > was.m_deaths)
        events.Add(Effect::SentryDestroyed, PanAt(after, was.m_position));
    else if (is.m_hitPoints < was.m_hitPoints)
        events.Add(Effect::HitSpark, PanAt(after, is.m_position));
}

void AddPickUps(SoundEvents& events, const CArena& before, const CArena& after)
{
    for (int p = 0; p < CArena::kPowerUpSlots; ++p) {
        const CPowerUp& was = before.m_powerUps[p];
        const CPowerUp& is = after.m_powerUps[p];
        // Expiry leaves the life at 0; a pick-up leaves it as it was. A power-up dropped
        // into the slot in the same tick starts a new life, longer than the old one's.
        const bool taken = was.m_active && (is.m_active ? is.m_life >= was.m_life : is.m_life != 0);
        if (taken)
            events.Add(PowerUpSound(is.m_kind), PanAt(after, was.m_position));
    }
}

}  // namespace

void SoundEvents::Add(Effect effect, float pan)
{
    if (count < kCapacity)
        items[count++] = {effect, pan};
}

Effect PowerUpSound(int kind)
{
    switch (kind) {
    case 0: case 2: case 7: case 8: case 9: return Effect::PowerUpWeapon;
    case 3: return Effect::PowerUpSpeed;
    case 4: case 6: return Effect::PowerUpHitPoints;
    case 5: return Effect::PowerUpInvulnerable;
    default: return Effect::PowerUpNothing;
    }
}

SoundEvents DeriveSoundEvents(const CArena& before, const CArena& after)
{
    SoundEvents events;
    if (before.m_paused != after.m_paused)
        events.Add(after.m_paused ? Effect::Pause : Effect::Resume, 0.0f);
    // A paused tick moves nothing.
    if (after.m_paused)
        return events;
    for (int i = 0; i < after.m_shipCount; ++i)
        AddShip(events, before, after, i);
    AddSentry(events, before, after);
    AddPickUps(events, before, after);
    return events;
}
