#pragma once
// What must hold across every tick of the arena, whatever the keys, sizes and pauses:
// shared by the soak run and the fuzz target.
//
//  - every coordinate of every body is finite;
//  - while paused a tick changes nothing;
//  - a slot out of play (ship or explosion) keeps its whole state;
//  - every ship in play has at least 1 hit point; its death count rises by at most 1 in
//    a tick, and a ship whose count rose was respawned in that tick: at a whole-number
//    place in 1..500, with at least 1 hit point and at least 14 ticks of invulnerability
//    left (15 from the respawn, one counted down at the end of the tick, or more from a
//    power-up taken in the same tick);
//  - everything that moved this tick was folded into the client area: a coordinate lies
//    in [0, size] (the size itself being the fold of an exact negative multiple), an
//    axis of size 0 being left alone. That covers ships in play that did not die,
//    their active bullets, active power-ups, the active debris of running explosions in
//    play, and the sentry's bullets that were already in flight.
//  - the sentry has 1 to 15 hit points.
#include <cmath>
#include <cstdio>
#include <string>

#include "arena/ArenaView.h"

namespace soak {

// A vector's two doubles, comparable as a value.
struct Vec
{
    double x = 0.0;
    double y = 0.0;

    Vec() = default;
    Vec(const CVector2& v) : x(v.m_x), y(v.m_y) {}
    bool operator==(const Vec&) const = default;
};

struct BulletState
{
    Vec position;
    Vec velocity;
    int life = 0;
    bool active = false;

    void Take(const CBullet& b)
    {
        position = b.m_position;
        velocity = b.m_velocity;
        life = b.m_life;
        active = b.m_active;
    }
    bool operator==(const BulletState&) const = default;
};

struct ShipState
{
    Vec position;
    Vec velocity;
    Vec heading;
    int hitPoints = 0;
    int deaths = 0;
    int score = 0;
    int boostTimer = 0;
    int invulnerableTimer = 0;
    int cooldown = 0;
    int target = 0;
    bool autopilot = false;
    BulletState bullets[CShip::kBulletCount];

    void Take(const CShip& s)
    {
        position = s.m_position;
        velocity = s.m_velocity;
        heading = s.m_heading;
        hitPoints = s.m_hitPoints;
        deaths = s.m_deaths;
        score = s.m_score;
        boostTimer = s.m_boostTimer;
        invulnerableTimer = s.m_invulnerableTimer;
        cooldown = s.m_cooldown;
        target = s.m_target;
        autopilot = s.m_autopilot;
        for (int k = 0; k < CShip::kBulletCount; ++k)
            bullets[k].Take(s.m_bullets[k]);
    }
    bool operator==(const ShipState&) const = default;
};

struct ExplosionState
{
    bool active = false;
    int ticksLeft = 0;
    BulletState particles[CExplosion::kParticleCount];

    void Take(const CExplosion& e)
    {
        active = e.m_active;
        ticksLeft = e.m_ticksLeft;
        for (int k = 0; k < CExplosion::kParticleCount; ++k)
            particles[k].Take(e.m_particles[k]);
    }
    bool operator==(const ExplosionState&) const = default;
};

struct PowerUpState
{
    Vec position;
    Vec heading;
    int life = 0;
    bool active = false;

    void Take(const CPowerUp& p)
    {
        position = p.m_position;
        heading = p.m_heading;
        life = p.m_life;
        active = p.m_active;
    }
    bool operator==(const PowerUpState&) const = default;
};

struct SentryState
{
    Vec heading;
    Vec position;
    int hitPoints = 0;
    int score = 0;
    int deaths = 0;
    BulletState bullets[CSentry::kBulletCount];

    void Take(const CSentry& s)
    {
        heading = s.m_heading;
        position = s.m_position;
        hitPoints = s.m_hitPoints;
        score = s.m_score;
        deaths = s.m_deaths;
        for (int k = 0; k < CSentry::kBulletCount; ++k)
            bullets[k].Take(s.m_bullets[k]);
    }
    bool operator==(const SentryState&) const = default;
};

// The arena as it was before a tick.
struct ArenaState
{
    int shipCount = 0;
    bool paused = false;
    ShipState ships[CArenaView::kShipSlots];
    ExplosionState explosions[CArenaView::kShipSlots];
    SentryState sentry;
    PowerUpState powerUps[CArenaView::kPowerUpSlots];

    void Take(const CArenaView& arena)
    {
        shipCount = arena.m_shipCount;
        paused = arena.m_paused;
        for (int i = 0; i < CArenaView::kShipSlots; ++i) {
            ships[i].Take(arena.m_ships[i]);
            explosions[i].Take(arena.m_explosions[i]);
        }
        sentry.Take(arena.m_sentry);
        for (int i = 0; i < CArenaView::kPowerUpSlots; ++i)
            powerUps[i].Take(arena.m_powerUps[i]);
    }
    bool operator==(const ArenaState&) const = default;
};

namespace detail {

inline std::string Describe(const char* what, int slot, const Vec& v)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s %d at (%.17g, %.17g)", what, slot, v.x, v.y);
    return text;
}

inline bool Finite(const Vec& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

inline bool AxisInside(double value, int size) { return size == 0 || (value >= 0.0 && value <= size); }

inline bool Inside(const Vec& v, int width, int height)
{
    return AxisInside(v.x, width) && AxisInside(v.y, height);
}

inline bool WholeInRespawnArea(double value) { return value >= 1.0 && value <= 500.0 && value == std::trunc(value); }

}  // namespace detail

// Checks one tick: before is the state taken just before it, arena the state after, on
// a client area of width by height. Answers an empty string when everything holds, else
// what broke.
inline std::string CheckTick(const ArenaState& before, const CArenaView& arena, int width, int height)
{
    using detail::Describe;
    using detail::Finite;
    using detail::Inside;

    ArenaState after;
    after.Take(arena);

    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        const ShipState& s = after.ships[i];
        if (!Finite(s.position) || !Finite(s.velocity) || !Finite(s.heading))
            return Describe("a coordinate of ship slot is not finite: ship", i, s.position);
        for (const BulletState& b : s.bullets) {
            if (!Finite(b.position) || !Finite(b.velocity))
                return Describe("a bullet coordinate is not finite: ship", i, b.position);
        }
        for (const BulletState& p : after.explosions[i].particles) {
            if (!Finite(p.position) || !Finite(p.velocity))
                return Describe("a debris coordinate is not finite: explosion", i, p.position);
        }
    }
    if (!Finite(after.sentry.position) || !Finite(after.sentry.heading))
        return Describe("a sentry coordinate is not finite: sentry", 0, after.sentry.position);
    for (const BulletState& b : after.sentry.bullets) {
        if (!Finite(b.position) || !Finite(b.velocity))
            return Describe("a sentry bullet coordinate is not finite: sentry", 0, b.position);
    }
    for (int i = 0; i < CArenaView::kPowerUpSlots; ++i) {
        if (!Finite(after.powerUps[i].position) || !Finite(after.powerUps[i].heading))
            return Describe("a power-up coordinate is not finite: power-up", i, after.powerUps[i].position);
    }

    if (before.paused) {
        if (!(after == before))
            return "a tick while paused changed the arena";
        return {};
    }
    if (after.shipCount != before.shipCount)
        return "a tick changed the number of ships in play";

    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        const ShipState& s = after.ships[i];
        if (i >= before.shipCount) {
            if (!(s == before.ships[i]))
                return Describe("a ship out of play changed: slot", i, s.position);
            if (!(after.explosions[i] == before.explosions[i]))
                return Describe("an explosion out of play changed: slot", i, s.position);
            continue;
        }
        if (s.hitPoints < 1)
            return Describe("a ship in play has fewer than 1 hit point: slot", i, s.position) +
                   ", hit points " + std::to_string(s.hitPoints);
        const int died = s.deaths - before.ships[i].deaths;
        if (died < 0 || died > 1)
            return Describe("a ship's death count moved by other than 0 or 1: slot", i, s.position) + ", by " +
                   std::to_string(died);
        if (died == 1) {
            if (s.invulnerableTimer < CShip::kRespawnTicks - 1)
                return Describe("a ship that died was not respawned: slot", i, s.position) +
                       ", invulnerable for " + std::to_string(s.invulnerableTimer);
            if (!detail::WholeInRespawnArea(s.position.x) || !detail::WholeInRespawnArea(s.position.y))
                return Describe("a ship that died was respawned outside 1..500: slot", i, s.position);
            continue;
        }
        if (!Inside(s.position, width, height))
            return Describe("a ship in play is outside the client area: slot", i, s.position);
        for (const BulletState& b : s.bullets) {
            if (b.active && !Inside(b.position, width, height))
                return Describe("an active bullet is outside the client area: ship", i, b.position);
        }
    }

    for (int i = 0; i < before.shipCount; ++i) {
        const ExplosionState& e = after.explosions[i];
        if (!e.active)
            continue;
        for (const BulletState& p : e.particles) {
            if (p.active && !Inside(p.position, width, height))
                return Describe("active debris is outside the client area: explosion", i, p.position);
        }
    }

    for (int k = 0; k < CSentry::kBulletCount; ++k) {
        const BulletState& b = after.sentry.bullets[k];
        const BulletState& was = before.sentry.bullets[k];
        // In flight before and after, and not fired anew: it was moved and folded.
        if (b.active && was.active && b.life == was.life - 1 && !Inside(b.position, width, height))
            return Describe("a sentry bullet in flight is outside the client area: slot", k, b.position);
    }

    for (int i = 0; i < CArenaView::kPowerUpSlots; ++i) {
        const PowerUpState& p = after.powerUps[i];
        if (!p.active)
            continue;
        if (p.life < 1 || p.life > CPowerUp::kLifeTicks)
            return Describe("an active power-up has a life outside 1..250: slot", i, p.position) + ", life " +
                   std::to_string(p.life);
        if (!Inside(p.position, width, height))
            return Describe("an active power-up is outside the client area: slot", i, p.position);
    }

    if (after.sentry.hitPoints < 1 || after.sentry.hitPoints > CSentry::kHitPoints)
        return "the sentry has hit points outside 1..15: " + std::to_string(after.sentry.hitPoints);
    return {};
}

}  // namespace soak
