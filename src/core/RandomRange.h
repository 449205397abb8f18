#pragma once
// The game's only source of randomness: RandomRange re-seeds its generator from the
// generator itself and the calendar second on every call, then draws.
#include <cstdint>

// A 32-bit linear congruential generator with a single state.
class CRandomGenerator
{
public:
    static constexpr int kMax = 32767;

    void Seed(std::uint32_t seed) { m_state = seed; }
    // state = state * 214013 + 2531011 (mod 2^32); answers bits 16 to 30 of the new state.
    int Next();

    std::uint32_t m_state = 1;
};

extern CRandomGenerator g_randomGenerator;

// The calendar time in whole seconds since 1970, as RandomRange reads it. Tests pin it
// by pointing g_calendarClock at a clock of their own.
using CalendarClock = std::int32_t (*)();
std::int32_t SystemCalendarSeconds();
extern CalendarClock g_calendarClock;

// A recorded or shared session's calendar second, which advances with its ticks rather
// than with the wall: the arena sets it before each tick, and a session points
// g_calendarClock at SessionCalendarSeconds.
extern std::int32_t g_sessionSecond;
std::int32_t SessionCalendarSeconds();

// A random int in lo..hi inclusive, for 0 <= lo <= hi. When no draw could land in
// lo..hi (lo > hi, hi < 0, or lo above 32767) it answers lo after re-seeding.
int RandomRange(int lo, int hi);
