// A long headless run of the whole game: six ships and the sentry on their autopilots,
// random keys held and released, the odd autopilot switch, random resizes down to
// nothing, a frame painted now and then. After every tick nothing is NaN, everything
// that moved lies inside the client area, every ship in play has hit points left, and
// every ship that died in the tick was respawned and its explosion started.
// VEXLOR_ENDURANCE_TICKS sets the length of the run (200000 by default).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "arena/ArenaTestKit.h"

using arenatest::ArenaTest;

namespace {

constexpr int kDefaultTicks = 200000;

int TickCount()
{
    const char* const text = std::getenv("VEXLOR_ENDURANCE_TICKS");
    if (text == nullptr || *text == '\0')
        return kDefaultTicks;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value > 0 && value <= INT_MAX ? static_cast<int>(value) : kDefaultTicks;
}

// The run's own calendar clock: one second every 40 ticks, as in play.
std::int32_t g_runSeconds = 1700000000;
std::int32_t RunClock() { return g_runSeconds; }

constexpr UINT kHeldKeys[] = {VK_LEFT,    VK_RIGHT,   VK_UP,      VK_DOWN,    VK_RETURN, 'A', 'D', 'S', 'W',
                              VK_SPACE,   VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, VK_NUMPAD8, VK_ADD, 'J', 'K', 'L'};
constexpr UINT kSwitchKeys[] = {VK_F1, VK_F2, VK_F3, VK_F4};
constexpr CSize kSizes[] = {{800, 600}, {0, 0}, {1, 1}, {320, 200}, {1920, 1080}, {1, 600}, {800, 1}, {37, 23}};

bool Finite(const CVector2& v) { return std::isfinite(v.m_x) && std::isfinite(v.m_y); }

// A coordinate folded into a size lies in [0, size]: an exact negative multiple of the
// size folds to the size itself. A size of 0 folds nothing.
bool Inside(double c, int size) { return size == 0 || (c >= 0.0 && c <= size); }
bool Inside(const CVector2& p, int width, int height) { return Inside(p.m_x, width) && Inside(p.m_y, height); }
bool Same(const CVector2& a, const CVector2& b) { return a.m_x == b.m_x && a.m_y == b.m_y; }

std::ostream& operator<<(std::ostream& out, const CVector2& v) { return out << "(" << v.m_x << ", " << v.m_y << ")"; }

// What a tick must leave behind; an empty answer when all holds.
std::string Check(const CArenaView& arena, const int* deathsBefore, const CVector2& sentryBefore, int width,
                  int height)
{
    std::ostringstream problem;
    for (int i = 0; i < arena.m_shipCount; ++i) {
        const CShip& ship = arena.m_ships[i];
        if (!Finite(ship.m_position) || !Finite(ship.m_velocity) || !Finite(ship.m_heading))
            problem << "ship " << i << " not finite; ";
        const double heading = ship.m_heading.Length();
        if (!(heading > 7.0 && heading < 7.1))
            problem << "ship " << i << " heading length " << heading << "; ";
        if (ship.m_hitPoints < 1)
            problem << "ship " << i << " has " << ship.m_hitPoints << " hit points; ";
        if (ship.m_boostTimer < 0 || ship.m_invulnerableTimer < 0)
            problem << "ship " << i << " timers " << ship.m_boostTimer << ", " << ship.m_invulnerableTimer << "; ";

        const int died = ship.m_deaths - deathsBefore[i];
        if (died == 0) {
            if (!Inside(ship.m_position, width, height))
                problem << "ship " << i << " at " << ship.m_position << "; ";
        } else {
            const CExplosion& explosion = arena.m_explosions[i];
            const CVector2& p = ship.m_position;
            if (died != 1 || ship.m_hitPoints < 25 || ship.m_invulnerableTimer < 14 || ship.m_boostTimer < 14 ||
                !explosion.m_active || explosion.m_ticksLeft != 25 || p.m_x < 1 || p.m_x > 500 || p.m_y < 1 ||
                p.m_y > 500)
                problem << "ship " << i << " not respawned: deaths +" << died << ", " << ship.m_hitPoints
                        << " hit points, timers " << ship.m_invulnerableTimer << "/" << ship.m_boostTimer << " at "
                        << p << ", explosion " << explosion.m_active << "/" << explosion.m_ticksLeft << "; ";
        }

        // A bullet either moved and folded this tick, or left its ship in it.
        for (const CBullet& bullet : ship.m_bullets) {
            if (!bullet.m_active)
                continue;
            if (!Finite(bullet.m_position) || !Finite(bullet.m_velocity))
                problem << "bullet of ship " << i << " not finite; ";
            else if (!Inside(bullet.m_position, width, height) && !Same(bullet.m_position, ship.m_position))
                problem << "bullet of ship " << i << " at " << bullet.m_position << "; ";
        }
        for (const CBullet& particle : arena.m_explosions[i].m_particles) {
            if (!particle.m_active)
                continue;
            if (!Finite(particle.m_position) || !Finite(particle.m_velocity))
                problem << "debris of ship " << i << " not finite; ";
            else if (!Inside(particle.m_position, width, height))
                problem << "debris of ship " << i << " at " << particle.m_position << "; ";
        }
    }

    const CSentry& sentry = arena.m_sentry;
    if (!Finite(sentry.m_position) || !Finite(sentry.m_heading) || !Finite(sentry.m_velocity))
        problem << "sentry not finite; ";
    if (std::abs(sentry.m_heading.Length() - 10.0) > 1e-6)
        problem << "sentry heading " << sentry.m_heading << "; ";
    if (sentry.m_hitPoints < 1 || sentry.m_hitPoints > 15)
        problem << "sentry has " << sentry.m_hitPoints << " hit points; ";
    // A sentry bullet moved and folded this tick, or left the sentry where it stands or
    // stood before being destroyed in this tick.
    for (const CBullet& bullet : sentry.m_bullets) {
        if (!bullet.m_active)
            continue;
        if (!Finite(bullet.m_position) || !Finite(bullet.m_velocity))
            problem << "sentry bullet not finite; ";
        else if (!Inside(bullet.m_position, width, height) && !Same(bullet.m_position, sentry.m_position) &&
                 !Same(bullet.m_position, sentryBefore))
            problem << "sentry bullet at " << bullet.m_position << "; ";
    }

    for (const CPowerUp& powerUp : arena.m_powerUps) {
        if (!powerUp.m_active)
            continue;
        if (!Finite(powerUp.m_position) || !Finite(powerUp.m_velocity) || !Finite(powerUp.m_heading))
            problem << "power-up not finite; ";
        else if (!Inside(powerUp.m_position, width, height))
            problem << "power-up at " << powerUp.m_position << "; ";
    }
    return problem.str();
}

}  // namespace

class Endurance : public ArenaTest
{};

TEST_F(Endurance, LongRunKeepsEveryInvariant)
{
    g_calendarClock = RunClock;
    CArenaView& arena = Arena();
    arena.m_shipCount = 6;
    for (CShip& ship : arena.m_ships)
        ship.m_autopilot = true;
    arena.m_sentry.m_autopilot = true;

    // The keys and sizes come from a generator of their own, apart from the game's.
    std::mt19937 chance(20240611u);
    const auto below = [&chance](unsigned n) { return static_cast<unsigned>(chance() % n); };
    bool held[256] = {};
    int width = kWidth;
    int height = kHeight;
    int nextResize = 300;
    int shipDeaths = 0;
    int sentryDeaths = 0;

    const int ticks = TickCount();
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick % 40 == 0)
            ++g_runSeconds;
        if (tick == nextResize) {
            if (below(2) == 0) {
                const CSize size = kSizes[below(std::size(kSizes))];
                width = size.cx;
                height = size.cy;
            } else {
                width = static_cast<int>(below(1201));
                height = static_cast<int>(below(901));
            }
            Resize(width, height);
            nextResize += 100 + static_cast<int>(below(400));
            if (below(3) == 0)
                arena.OnKeyUp(kSwitchKeys[below(std::size(kSwitchKeys))], 1, 0);
        }
        if (below(6) == 0) {
            const UINT key = kHeldKeys[below(std::size(kHeldKeys))];
            if (held[key])
                arenatest::Release(key);
            else
                arenatest::Press(key);
            held[key] = !held[key];
        }

        int deathsBefore[CArenaView::kShipSlots];
        for (int i = 0; i < CArenaView::kShipSlots; ++i)
            deathsBefore[i] = arena.m_ships[i].m_deaths;
        const CVector2 sentryBefore = arena.m_sentry.m_position;
        const int sentryDeathsBefore = arena.m_sentry.m_deaths;

        arena.OnTimer(1);

        const std::string problem = Check(arena, deathsBefore, sentryBefore, width, height);
        ASSERT_TRUE(problem.empty()) << "tick " << tick << " in " << width << " x " << height << ": " << problem;
        for (int i = 0; i < CArenaView::kShipSlots; ++i)
            shipDeaths += arena.m_ships[i].m_deaths - deathsBefore[i];
        sentryDeaths += arena.m_sentry.m_deaths - sentryDeathsBefore;

        if (tick % 50 == 0)
            arena.OnPaint();
    }

    RecordProperty("ship_deaths", shipDeaths);
    RecordProperty("sentry_deaths", sentryDeaths);
    // A run of any length worth the name sees fighting.
    if (ticks >= 10000) {
        EXPECT_GT(shipDeaths, 0);
        EXPECT_GT(sentryDeaths, 0);
    }
}
