// libFuzzer target: the input bytes choose a random session at a fresh detached arena
// (keys, resizes from 0 x 0 to 4000 x 3000, pauses, painted frames, ticks), every tick checked against the
// arena's rules. A broken rule aborts, so that libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/RandomRange.h"
#include "support/ArenaInvariants.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_calendarClock = [] { return std::int32_t{1'700'000'000}; };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    // One byte a choice, two when it has more than 256 outcomes.
    const auto pick = [&](unsigned n) {
        unsigned value = at < size ? data[at++] : 0u;
        if (n > 256 && at < size)
            value = value << 8 | data[at++];
        return value % n;
    };
    g_randomGenerator.m_state = pick(65536u) * 65537u + 1u;
    KeyboardReleaseAll();
    CArenaView arena;
    arenacheck::Driver driver(arena, 4000, 3000, true);
    while (at < size) {
        if (const std::string broken = driver.Step(pick); !broken.empty()) {
            std::fprintf(stderr, "arena rule broken at %dx%d: %s\n", driver.width, driver.height, broken.c_str());
            std::abort();
        }
    }
    return 0;
}
