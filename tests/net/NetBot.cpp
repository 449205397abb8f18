// vexlor_netbot: a headless machine of an online session for tests and measurements: a
// QtNetLink to a relay and the online client, keys from a seeded script every 25 ms.
//   vexlor_netbot --relay PORT [--room CODE] [--seconds N] [--seed N] [--probe] [--watch SEAT]
// Without a room it opens one. It prints, one line each: `netbot: room CODE`, `netbot: hash
// TICK HASH` for every 40th confirmed tick, `netbot: press MS` when a probe starts turning
// (left for 10 ticks every 80, nothing else), `netbot: moved MS` when the watched seat's ship
// starts turning on this screen (MS on the machine's monotonic clock), `netbot: ended: WHY`
// when the session ends, and at the end its figures.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/OnlineClient.h"
#include "platform/qt/net/QtNetLink.h"

namespace {

struct COptions
{
    int m_relay = 0;
    std::uint64_t m_room = 0;
    double m_seconds = 30;
    std::uint32_t m_seed = 1;
    bool m_probe = false;
    int m_watch = -1;
};

bool Read(int argc, char** argv, COptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--probe") {
            options.m_probe = true;
            continue;
        }
        if (i + 1 == argc)
            return false;
        const char* const value = argv[++i];
        if (name == "--relay")
            options.m_relay = std::atoi(value);
        else if (name == "--room")
            options.m_room = net::ParseRoomCode(value);
        else if (name == "--seconds")
            options.m_seconds = std::atof(value);
        else if (name == "--seed")
            options.m_seed = std::uint32_t(std::atol(value));
        else if (name == "--watch")
            options.m_watch = std::atoi(value);
        else
            return false;
    }
    return options.m_relay > 0;
}

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The keys of a tick: a new choice every 15 ticks, from a hash of the seed and the tick.
std::uint8_t ScriptedKeys(std::uint32_t seed, std::uint32_t tick)
{
    std::uint32_t x = (seed * 2654435761u) ^ (tick / 15 * 40503u);
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return std::uint8_t(x & kSeatKeyMask & ~kSeatBackward);
}

class CBot : public CNetLinkListener
{
public:
    explicit CBot(const COptions& options)
        : m_options(options),
          m_link(QStringLiteral("ws://127.0.0.1:%1/").arg(options.m_relay), *this),
          m_client(m_link)
    {
        m_client.SetNow(NowMs());
        if (options.m_room == 0) {
            CArena arena;
            arena.BeginSession(options.m_seed, 0);
            arena.m_size = CSize{800, 600};
            m_client.Host(arena, 1);
        } else {
            m_client.Join(options.m_room, 1);
        }
        m_clock.start();
    }

    void LinkOpened() override { m_client.LinkOpened(); }
    void LinkReceived(std::span<const std::uint8_t> bytes) override { m_client.LinkReceived(bytes); }
    void LinkClosed(const std::string& why) override { m_client.LinkClosed(why); }

    // One 25 ms tick; false once the bot is done.
    bool Tick()
    {
        const bool playing = m_client.State() == COnlineClient::EState::kPlaying;
        std::uint8_t local[net::kSeats] = {};
        if (playing)
            local[0] = Keys();
        m_client.Frame(local, NowMs());
        Report();
        if (m_startTick == 0 && m_client.State() == COnlineClient::EState::kPlaying)
            m_startTick = m_client.Tick(), m_startMs = m_clock.elapsed();
        return m_client.State() != COnlineClient::EState::kEnded && m_clock.elapsed() < m_options.m_seconds * 1000;
    }

    void PrintFigures()
    {
        const COnlineStats& stats = m_client.Stats();
        const double seconds = double(m_clock.elapsed() - m_startMs) / 1000.0;
        std::printf("netbot: figures ticks %u rate %.2f sent %.0f B/s received %.0f B/s desyncs %ld deepest %d "
                    "round-trip %d ms delay %u\n",
                    m_client.Tick() - m_startTick, double(m_client.Tick() - m_startTick) / seconds,
                    double(m_link.m_bytesSent) / seconds, double(m_link.m_bytesReceived) / seconds, stats.m_desyncs,
                    stats.m_deepestRollback, stats.m_roundTripMs, stats.m_inputDelay);
    }

private:
    std::uint8_t Keys()
    {
        m_frames += 1;
        if (!m_options.m_probe)
            return ScriptedKeys(m_options.m_seed, m_frames);
        if (m_frames % 80 == 0)
            std::printf("netbot: press %lld\n", NowMs());
        return m_frames % 80 < 10 ? kSeatLeft : 0;
    }

    void Report()
    {
        if (m_client.Room() != 0 && !m_roomTold && (m_roomTold = true))
            std::printf("netbot: room %s\n", net::RoomCode(m_client.Room()).c_str());
        for (const CArena *before, *after; m_client.NextConfirmed(before, after);)
            if (after->m_clock.m_tick % 40 == 0)
                std::printf("netbot: hash %u %016llx\n", after->m_clock.m_tick,
                            static_cast<unsigned long long>(after->Hash()));
        if (m_options.m_watch >= 0 && m_client.State() == COnlineClient::EState::kPlaying)
            Watch(m_client.Arena().m_ships[m_options.m_watch].m_heading);
        if (m_client.State() == COnlineClient::EState::kEnded && !m_endTold && (m_endTold = true))
            std::printf("netbot: ended: %s\n", m_client.Status().c_str());
        std::fflush(stdout);
    }

    // A turn that starts after a second of none.
    void Watch(const CVector2& heading)
    {
        const bool turned = heading.m_x != m_heading.m_x || heading.m_y != m_heading.m_y;
        if (turned && m_still >= 40)
            std::printf("netbot: moved %lld\n", NowMs());
        m_still = turned ? 0 : m_still + 1;
        m_heading = heading;
    }

    const COptions m_options;
    CQtNetLink m_link;
    COnlineClient m_client;
    QElapsedTimer m_clock;
    std::uint32_t m_frames = 0;
    std::uint32_t m_startTick = 0;
    qint64 m_startMs = 0;
    CVector2 m_heading;
    int m_still = 0;
    bool m_roomTold = false;
    bool m_endTold = false;
};

}  // namespace

int main(int argc, char** argv)
{
    COptions options;
    if (!Read(argc, argv, options)) {
        std::fprintf(stderr, "usage: vexlor_netbot --relay PORT [--room CODE] [--seconds N] [--seed N] [--probe] "
                             "[--watch SEAT]\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    CBot bot(options);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (!bot.Tick()) {
            timer.stop();
            bot.PrintFigures();
            application.quit();
        }
    });
    timer.start(25);
    return application.exec();
}
