#pragma once
// CArena: the game as one value. Everything a tick reads or writes lives here by value:
// six ships, their explosions, the sentry, four power-ups, the ship count, the pause flag,
// the arena's size, the random generator's state, the session clock and the keys the
// tick polls. A copy saves it, Restore brings it back, Hash and == compare it, and Step
// advances it one tick from an input record, with no window and no drawing surface.
#include <cstdint>

#include "arena/TickInput.h"
#include "armament/PowerUp.h"
#include "combat/Explosion.h"
#include "core/RandomRange.h"
#include "platform/gdi/Geometry.h"
#include "sentry/Sentry.h"
#include "ships/Ship.h"

// The calendar second RandomRange reads. Local play reads the wall clock; a recorded or
// shared session counts it from its start second, one second every 40 ticks, so that a
// replay or another machine draws the same numbers.
struct CSessionClock
{
    static constexpr std::uint32_t kTicksPerSecond = 40;

    bool m_counted = false;
    std::int32_t m_startSecond = 0;
    // Timer ticks since the session started, paused ones included.
    std::uint32_t m_tick = 0;

    std::int32_t Second() const { return m_startSecond + std::int32_t(m_tick / kTicksPerSecond); }
};

class CArena
{
public:
    static constexpr int kShipSlots = 6;
    static constexpr int kPowerUpSlots = 4;
    static constexpr int kSentryTarget = 6;  // a ship's m_target that names the sentry
    static constexpr int kMinShips = 2;
    // The sentry stands at x and y each in 1..300, when first placed and after each destruction.
    static constexpr int kSentryArea = 300;

    int m_shipCount;
    CShip m_ships[kShipSlots];
    CExplosion m_explosions[kShipSlots];
    CSentry m_sentry;
    CPowerUp m_powerUps[kPowerUpSlots];
    bool m_paused;

    CSize m_size;
    // The generator's state after the last tick (RandomRange draws from the one generator;
    // Restore puts this back into it).
    CRandomGenerator m_random;
    CSessionClock m_clock;
    // The keys each seat held in the last tick that ran.
    std::uint8_t m_keys[CTickInput::kSeats];

    // Builds the arena, drawing from the generator as it stands.
    CArena();

    // Builds the arena anew for a recorded or shared session: the generator seeded, the
    // calendar second counted from startSecond with the ticks.
    void BeginSession(std::uint32_t seed, std::int32_t startSecond);

    // Applies the input's switches, then its size and keys, and runs one tick. False when
    // the game is paused and nothing moved.
    bool Step(const CTickInput& input);
    // The same without the switches, which act when released in local play.
    bool Advance(const CTickInput& input);
    // The key-release commands: autopilot toggles, pause, the number of ships.
    void ApplySwitch(unsigned virtualKey);
    // A seat taken by a player flies by hand; a seat handed back flies on its autopilot.
    void HoldSeat(int seat, bool held);

    void PollKeyboard();
    void ResolveCombat();

    // Makes this the given value again, the random generator included.
    void Restore(const CArena& saved);
    // 64 bits over every field a tick reads or writes (no pointers, no padding).
    std::uint64_t Hash() const;
    bool operator==(const CArena& other) const;

private:
    bool Tick();
    int ChooseSentryTarget() const;
    void RunAutopilot(CShip& ship);

    void HitShipByShip(int shooter, int target, CBullet& bullet, CRect& targetBox);
    void HitSentry(int shooter, CBullet& bullet);
    void HitShipBySentry(int target, CBullet& bullet);
    void PickUp(int target, CPowerUp& powerUp);
};
