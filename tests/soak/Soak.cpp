// A long headless session of the arena, every tick checked against its rules.
// Usage: vexlor_soak [TICKS [SEED]]   (or VEXLOR_SOAK_TICKS; 10 000 000 ticks by default)
// Exits 0 when every tick held, else prints the broken rule with its tick and seed and exits 1.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/RandomRange.h"
#include "support/ArenaInvariants.h"

int main(int argc, char** argv)
{
    const char* const ticksText = argc > 1 ? argv[1] : std::getenv("VEXLOR_SOAK_TICKS");
    const long long ticks = ticksText != nullptr ? std::atoll(ticksText) : 10'000'000;
    const long long seed = argc > 2 ? std::atoll(argv[2]) : 1;
    if (ticks <= 0 || seed <= 0) {
        std::fprintf(stderr, "usage: vexlor_soak [TICKS [SEED]]  (both positive whole numbers)\n");
        return 2;
    }
    g_calendarClock = [] { return std::int32_t{1'700'000'000}; };
    g_randomGenerator.m_state = std::uint32_t(seed);
    std::mt19937_64 random(seed);  // the session's own choices, apart from the game's generator
    CArenaView arena;
    arenacheck::Driver driver(arena, 4000, 3000, true);
    while (driver.ticks < ticks) {
        if (const std::string broken = driver.Step([&random](unsigned n) { return unsigned(random() % n); });
            !broken.empty()) {
            std::printf("soak: tick %lld of seed %lld at %dx%d: %s\n", driver.ticks, seed, driver.width,
                        driver.height, broken.c_str());
            return 1;
        }
    }
    std::printf("soak: %lld ticks of seed %lld held every rule\n", ticks, seed);
    return 0;
}
