// A long random session of the whole game, every tick checked against the arena's rules.
// VEXLOR_ENDURANCE_TICKS sets its length (200000 ticks by default).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "arena/ArenaTestKit.h"
#include "support/ArenaInvariants.h"

using Endurance = arenatest::ArenaTest;

TEST_F(Endurance, LongRunKeepsEveryRule)
{
    const char* const text = std::getenv("VEXLOR_ENDURANCE_TICKS");
    const long long ticks = text != nullptr && std::atoll(text) > 0 ? std::atoll(text) : 200000;
    std::mt19937 chance(20240611u);  // the session's own choices, apart from the game's generator
    arenacheck::Driver driver(Arena(), 1600, 1200, false);
    while (driver.ticks < ticks) {
        const std::string broken = driver.Step([&chance](unsigned n) { return unsigned(chance() % n); });
        ASSERT_EQ(broken, "") << "tick " << driver.ticks << " at " << driver.width << " x " << driver.height;
    }
    // Without kills and respawns the run proved little.
    int shipDeaths = 0;
    for (const CShip& ship : Arena().m_ships)
        shipDeaths += ship.m_deaths;
    EXPECT_TRUE(ticks < 10000 || (shipDeaths > 0 && Sentry().m_deaths > 0)) << shipDeaths << " ship deaths";
}
