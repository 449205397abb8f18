#pragma once
// The walk over every field a tick reads or writes, in one fixed order: the hash, the
// comparison and the snapshot that a late joiner receives all read the arena through it,
// and the snapshot's reader writes it back through the same walk. A visitor takes
//   Real(double)             one coordinate
//   Pair(a, b)               two integers or flags, one word
//   Keys(keys[4])            the seats' keys
//   Weapon(autopilot, weapon) a ship's autopilot and weapon
//   PowerUp(life, kind, active)
// with const references for a const arena and plain ones otherwise.
#include "arena/Arena.h"

namespace arenawalk {

template <class Body, class Visitor>
void WalkBody(Body& body, Visitor& v)
{
    for (auto* vector : {&body.m_velocity, &body.m_heading, &body.m_position}) {
        v.Real(vector->m_x);
        v.Real(vector->m_y);
    }
}

template <class Bullet, class Visitor>
void WalkBullets(Bullet* bullets, int count, Visitor& v)
{
    for (int i = 0; i < count; ++i) {
        WalkBody(bullets[i], v);
        v.Pair(bullets[i].m_life, bullets[i].m_active);
    }
}

template <class Ship, class Visitor>
void WalkShip(Ship& ship, Visitor& v)
{
    WalkBody(ship, v);
    v.Pair(ship.m_boostTimer, ship.m_invulnerableTimer);
    v.Pair(ship.m_hitPoints, ship.m_index);
    v.Pair(ship.m_score, ship.m_deaths);
    v.Pair(ship.m_cooldown, ship.m_target);
    v.Weapon(ship.m_autopilot, ship.m_weapon);
    WalkBullets(ship.m_bullets, CShip::kBulletCount, v);
}

// Arena is CArena or const CArena.
template <class Arena, class Visitor>
void Walk(Arena& arena, Visitor& v)
{
    v.Pair(arena.m_shipCount, arena.m_paused);
    v.Pair(arena.m_size.cx, arena.m_size.cy);
    v.Pair(arena.m_random.m_state, arena.m_clock.m_counted);
    v.Pair(arena.m_clock.m_startSecond, arena.m_clock.m_tick);
    v.Keys(arena.m_keys);
    for (auto& ship : arena.m_ships)
        WalkShip(ship, v);
    for (auto& explosion : arena.m_explosions) {
        WalkBody(explosion, v);
        v.Pair(explosion.m_ticksLeft, explosion.m_active);
        WalkBullets(explosion.m_particles, CExplosion::kParticleCount, v);
    }
    auto& sentry = arena.m_sentry;
    WalkBody(sentry, v);
    v.Pair(sentry.m_hitPoints, sentry.m_score);
    v.Pair(sentry.m_deaths, sentry.m_autopilot);
    WalkBullets(sentry.m_bullets, CSentry::kBulletCount, v);
    for (auto& powerUp : arena.m_powerUps) {
        WalkBody(powerUp, v);
        v.PowerUp(powerUp.m_life, powerUp.m_kind, powerUp.m_active);
    }
}

// A weapon by its index among the five (5 for none of them).
std::int64_t WeaponIndex(const CWeapon* weapon);
// The weapon of an index, or null for one out of range.
CWeapon* WeaponAt(std::uint64_t index);
// The double's bits (the browser build's library has no std::bit_cast).
std::uint64_t Bits(double value);
double FromBits(std::uint64_t bits);

// The words of a const walk, handed one by one to a sink: what the hash, the comparison
// and the snapshot's writer read.
template <class Sink>
class CWords
{
public:
    explicit CWords(Sink& sink) : m_sink(sink) {}

    void Real(double value) { m_sink(Bits(value)); }
    template <class A, class B>
    void Pair(A high, B low)
    {
        m_sink(Pack(std::int64_t(high), std::int64_t(low)));
    }
    void Keys(const std::uint8_t (&keys)[CTickInput::kSeats])
    {
        m_sink(Pack(keys[0] | keys[1] << 8, keys[2] | keys[3] << 8));
    }
    void Weapon(bool autopilot, const CWeapon* weapon) { m_sink(Pack(autopilot, WeaponIndex(weapon))); }
    void PowerUp(int life, int kind, bool active) { m_sink(Pack(life, std::int64_t(kind) << 1 | active)); }

    static std::uint64_t Pack(std::int64_t high, std::int64_t low)
    {
        return std::uint64_t(std::uint32_t(high)) << 32 | std::uint32_t(low);
    }

private:
    Sink& m_sink;
};

}  // namespace arenawalk
