#include "arena/StateLog.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "arena/ArenaView.h"

namespace {

int OpenLog()
{
    const char* const path = std::getenv("VEXLOR_STATE_LOG");
    if (path == nullptr || *path == '\0')
        return -1;
    return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

// Appends fields to a fixed line buffer; anything past its end is cut.
struct Line
{
    char text[1024];
    char* end = text;

    void Put(long long value)
    {
        end = std::to_chars(end, Room(), value).ptr;
        Space();
    }
    // Fixed point by whole numbers: not every C++ library has to_chars for doubles.
    void Put(double value, long long scale)
    {
        const long long scaled = std::llround(value * double(scale));
        if (scaled < 0 && end < Room())
            *end++ = '-';
        const long long magnitude = scaled < 0 ? -scaled : scaled;
        end = std::to_chars(end, Room(), magnitude / scale).ptr;
        // The fraction with its leading zeros: the digits of scale + fraction after the first.
        char digits[24];
        char* const last = std::to_chars(digits, digits + sizeof digits, scale + magnitude % scale).ptr;
        for (const char* digit = digits; digit != last && end < Room(); ++digit)
            *end++ = digit == digits ? '.' : *digit;
        Space();
    }
    char* Room() { return text + sizeof text - 1; }
    void Space()
    {
        if (end < Room())
            *end++ = ' ';
    }
};

int ActiveBullets(const CBullet (&bullets)[CShip::kBulletCount])
{
    int active = 0;
    for (const CBullet& bullet : bullets)
        active += bullet.m_active ? 1 : 0;
    return active;
}

}  // namespace

void WriteStateLog(const CArenaView& arena)
{
    static const int fd = OpenLog();
    static long long tick = 0;
    if (fd < 0)
        return;
    Line line;
    int powerUps = 0;
    for (const CPowerUp& powerUp : arena.m_powerUps)
        powerUps += powerUp.m_active ? 1 : 0;
    for (const long long value : {tick++, 0LL + arena.m_paused, 0LL + arena.m_shipCount, 0LL + powerUps,
                                  0LL + arena.m_sentry.m_autopilot, 0LL + arena.m_sentry.m_score,
                                  0LL + arena.m_sentry.m_deaths})
        line.Put(value);
    for (const CShip& ship : arena.m_ships) {
        line.Put(ship.m_position.m_x, 10);
        line.Put(ship.m_position.m_y, 10);
        line.Put(ship.m_velocity.m_x, 1000);
        line.Put(ship.m_velocity.m_y, 1000);
        line.Put(ship.m_heading.m_x, 1000);
        line.Put(ship.m_heading.m_y, 1000);
        for (const long long value : {0LL + ship.m_hitPoints, 0LL + ship.m_score, 0LL + ship.m_deaths,
                                      0LL + ActiveBullets(ship.m_bullets), 0LL + ship.m_autopilot})
            line.Put(value);
    }
    line.end[-1] = '\n';
    [[maybe_unused]] const ssize_t written = ::write(fd, line.text, static_cast<std::size_t>(line.end - line.text));
}
