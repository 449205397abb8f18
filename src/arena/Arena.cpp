// Construction of the arena and the order of one game tick.
#include "arena/Arena.h"

namespace {

constexpr COLORREF kShipColours[CArena::kShipSlots] = {
    0x0000FF,  // red
    0x00FF00,  // green
    0xFF0000,  // blue
    0x00C8C8,  // dark yellow
    0xC8C800,  // teal
    0xC800C8,  // purple
};

constexpr int kStartArea = 500;
constexpr double kStartHeadingX = 7.07;
// The sentry searches this far; beyond it the choice stays on slot 0.
constexpr int kSentrySearchRadius = 1000;

}  // namespace

CArena::CArena()
{
    m_shipCount = 3;

    for (CShip& ship : m_ships) {
        const int y = RandomRange(1, kStartArea);
        const int x = RandomRange(1, kStartArea);
        ship.Respawn(x, y, 0.0, 0.0, kStartHeadingX, 0.0);
    }
    for (int i = 0; i < kShipSlots; ++i)
        m_ships[i].m_index = i;
    for (int i = 0; i < kShipSlots; ++i)
        m_ships[i].SetColour(kShipColours[i]);

    const int y = RandomRange(1, kSentryArea);
    const int x = RandomRange(1, kSentryArea);
    m_sentry.Place(CPoint(x, y), CPoint(0, 10), CSentry::kHitPoints);
    m_sentry.m_score = 0;

    m_ships[0].m_autopilot = false;
    m_paused = false;

    m_random = g_randomGenerator;
    for (std::uint8_t& keys : m_keys)
        keys = 0;
}

void CArena::BeginSession(std::uint32_t seed, std::int32_t startSecond)
{
    g_randomGenerator.Seed(seed);
    g_calendarClock = SessionCalendarSeconds;
    g_sessionSecond = startSecond;
    *this = CArena();
    m_clock = CSessionClock{true, startSecond, 0};
}

bool CArena::Step(const CTickInput& input)
{
    for (int i = 0; i < input.m_switchCount; ++i)
        ApplySwitch(input.m_switches[i]);
    return Advance(input);
}

bool CArena::Advance(const CTickInput& input)
{
    if (input.m_resize)
        m_size = CSize{input.m_width, input.m_height};
    for (int seat = 0; seat < CTickInput::kSeats; ++seat)
        m_keys[seat] = input.m_seats[seat] & kSeatKeyMask;
    if (m_clock.m_counted)
        g_sessionSecond = m_clock.Second();
    const bool ran = Tick();
    m_clock.m_tick += 1;
    m_random = g_randomGenerator;
    return ran;
}

bool CArena::Tick()
{
    if (m_paused)
        return false;

    const CRect client(0, 0, m_size.cx, m_size.cy);

    for (int i = 0; i < m_shipCount; ++i)
        m_ships[i].Update(client);
    m_sentry.UpdateBullets(client);
    for (int i = 0; i < m_shipCount; ++i)
        m_explosions[i].Update(client);
    PollKeyboard();
    ResolveCombat();
    for (CPowerUp& powerUp : m_powerUps)
        powerUp.Update(client);
    if (m_sentry.m_autopilot)
        m_sentry.TrackTarget(m_ships[ChooseSentryTarget()]);
    for (int i = 0; i < m_shipCount; ++i)
        RunAutopilot(m_ships[i]);
    for (int i = 0; i < m_shipCount; ++i) {
        CShip& ship = m_ships[i];
        if (ship.m_boostTimer != 0)
            ship.m_boostTimer -= 1;
        if (ship.m_invulnerableTimer != 0)
            ship.m_invulnerableTimer -= 1;
    }
    return true;
}

// The nearest unboosted ship in play within the search radius, else slot 0. The running
// best keeps only the truncated distance, so a later ship must beat that whole number.
int CArena::ChooseSentryTarget() const
{
    int best = kSentrySearchRadius;
    int choice = 0;
    for (int i = 0; i < m_shipCount; ++i) {
        const double d = (m_sentry.m_position - m_ships[i].m_position).Length();
        if (d < best && m_ships[i].m_boostTimer <= 0) {
            best = TruncToInt(d);
            choice = i;
        }
    }
    return choice;
}

// A target outside the ships in play (or below 0), or the ship itself, costs the ship
// this tick: it picks again and does not steer.
void CArena::RunAutopilot(CShip& ship)
{
    if (!ship.m_autopilot)
        return;
    const int t = ship.m_target;
    if (t >= 0 && t < m_shipCount && t != ship.m_index)
        ship.SteerToward(m_ships[t]);
    else if (t == kSentryTarget)
        ship.SteerToward(m_sentry);
    else
        ship.m_target = ship.PickTarget();
}
