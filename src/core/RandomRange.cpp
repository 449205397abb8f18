#include "core/RandomRange.h"

#include <ctime>

CRandomGenerator g_randomGenerator;

int CRandomGenerator::Next()
{
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
}

std::int32_t SystemCalendarSeconds() { return static_cast<std::int32_t>(std::time(nullptr)); }

CalendarClock g_calendarClock = SystemCalendarSeconds;

std::int32_t g_sessionSecond = 0;

std::int32_t SessionCalendarSeconds() { return g_sessionSecond; }

int RandomRange(int lo, int hi)
{
    // Unsigned arithmetic wraps on overflow as the seed's formula requires.
    const std::uint32_t first = static_cast<std::uint32_t>(g_randomGenerator.Next());
    const std::uint32_t second = static_cast<std::uint32_t>(g_randomGenerator.Next());
    const std::uint32_t seconds = static_cast<std::uint32_t>(g_calendarClock());
    g_randomGenerator.Seed(first * second * (seconds * 7u));

    if (lo > hi || hi < 0 || lo > CRandomGenerator::kMax)
        return lo;
    // hi + 1 in 64 bits: hi may be INT_MAX.
    const long long modulus = static_cast<long long>(hi) + 1;
    int r;
    do {
        r = static_cast<int>(g_randomGenerator.Next() % modulus);
    } while (r < lo);
    return r;
}
