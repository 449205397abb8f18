// The arena as a value: restored whole, hashed and compared field by field. Pointers and
// padding are never read: a ship's weapon counts by its index among the five. What only
// drawing reads (a ship's colour and pen, and the hit flag that the next frame's spark
// clears) stays out, so a state drawn and a state never drawn compare equal.
#include <array>
#include <cstring>

#include "arena/Arena.h"
#include "armament/Weapon.h"

namespace {

std::uint64_t WeaponIndex(const CWeapon* weapon)
{
    const CWeapon* const weapons[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                                      &g_starBurstWeapon};
    for (std::uint64_t i = 0; i < std::size(weapons); ++i) {
        if (weapons[i] == weapon)
            return i;
    }
    return std::size(weapons);
}

std::uint64_t Pack(std::int64_t high, std::int64_t low)
{
    return std::uint64_t(std::uint32_t(high)) << 32 | std::uint32_t(low);
}

// The double's bits (the browser build's library has no std::bit_cast).
std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class Sink>
void WalkBody(const CBody& body, Sink& sink)
{
    for (const CVector2* v : {&body.m_velocity, &body.m_heading, &body.m_position}) {
        sink(Bits(v->m_x));
        sink(Bits(v->m_y));
    }
}

template <class Sink>
void WalkBullets(const CBullet* bullets, int count, Sink& sink)
{
    for (int i = 0; i < count; ++i) {
        WalkBody(bullets[i], sink);
        sink(Pack(bullets[i].m_life, bullets[i].m_active));
    }
}

template <class Sink>
void WalkShip(const CShip& ship, Sink& sink)
{
    WalkBody(ship, sink);
    sink(Pack(ship.m_boostTimer, ship.m_invulnerableTimer));
    sink(Pack(ship.m_hitPoints, ship.m_index));
    sink(Pack(ship.m_score, ship.m_deaths));
    sink(Pack(ship.m_cooldown, ship.m_target));
    sink(Pack(ship.m_autopilot, std::int64_t(WeaponIndex(ship.m_weapon))));
    WalkBullets(ship.m_bullets, CShip::kBulletCount, sink);
}

template <class Sink>
void WalkArena(const CArena& arena, Sink& sink)
{
    sink(Pack(arena.m_shipCount, arena.m_paused));
    sink(Pack(arena.m_size.cx, arena.m_size.cy));
    sink(Pack(arena.m_random.m_state, arena.m_clock.m_counted));
    sink(Pack(arena.m_clock.m_startSecond, arena.m_clock.m_tick));
    sink(Pack(arena.m_keys[0] | arena.m_keys[1] << 8, arena.m_keys[2] | arena.m_keys[3] << 8));
    for (const CShip& ship : arena.m_ships)
        WalkShip(ship, sink);
    for (const CExplosion& explosion : arena.m_explosions) {
        WalkBody(explosion, sink);
        sink(Pack(explosion.m_ticksLeft, explosion.m_active));
        WalkBullets(explosion.m_particles, CExplosion::kParticleCount, sink);
    }
    const CSentry& sentry = arena.m_sentry;
    WalkBody(sentry, sink);
    sink(Pack(sentry.m_hitPoints, sentry.m_score));
    sink(Pack(sentry.m_deaths, sentry.m_autopilot));
    WalkBullets(sentry.m_bullets, CSentry::kBulletCount, sink);
    for (const CPowerUp& powerUp : arena.m_powerUps) {
        WalkBody(powerUp, sink);
        sink(Pack(powerUp.m_life, powerUp.m_kind << 1 | powerUp.m_active));
    }
}

// Four independent lanes of multiply and xor-shift, so that the words do not wait on one
// another, folded together at the end.
class CHashSink
{
public:
    void operator()(std::uint64_t word)
    {
        std::uint64_t& lane = m_lanes[m_count++ & 3];
        lane = (lane ^ word) * kPrime;
        lane ^= lane >> 29;
    }
    std::uint64_t Result() const
    {
        std::uint64_t h = m_count;
        for (const std::uint64_t lane : m_lanes) {
            h = (h ^ lane) * kPrime;
            h ^= h >> 32;
        }
        return h;
    }

private:
    static constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    std::uint64_t m_lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                                0x082EFA98EC4E6C89ull};
    std::uint64_t m_count = 0;
};

// The words of one arena, for a comparison with another.
struct CWordSink
{
    void operator()(std::uint64_t word) { m_words[m_count++] = word; }
    std::array<std::uint64_t, 2048> m_words;
    std::size_t m_count = 0;
};

}  // namespace

void CArena::Restore(const CArena& saved)
{
    *this = saved;
    g_randomGenerator = m_random;
}

std::uint64_t CArena::Hash() const
{
    CHashSink sink;
    WalkArena(*this, sink);
    return sink.Result();
}

bool CArena::operator==(const CArena& other) const
{
    CWordSink mine;
    CWordSink theirs;
    WalkArena(*this, mine);
    WalkArena(other, theirs);
    return std::equal(mine.m_words.begin(), mine.m_words.begin() + mine.m_count, theirs.m_words.begin());
}
