// vexlor_netbot: a headless machine of an online session for tests and measurements: a
// QtNetLink to a relay and the online client, keys from a seeded script every 25 ms.
//   vexlor_netbot PORT ROOM|new SECONDS SEED [probe | watch SEAT]
// It prints, one line each: `netbot: room CODE`; `netbot: hash TICK HASH` for every 40th
// confirmed tick; with probe (left for 10 ticks every 80, no other key) `netbot: press MS`
// as each turn starts, and with watch `netbot: moved MS` when that seat's ship starts
// turning on this screen (MS: the machine's monotonic clock); `netbot: ended: WHY`; and
// at the end its figures.
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "net/OnlineClient.h"
#include "platform/qt/net/QtNetLink.h"

namespace {

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class CBot : public CNetLinkListener
{
public:
    CBot(int port, std::uint64_t room, std::uint32_t seed, int watch)
        : m_link(QStringLiteral("ws://127.0.0.1:%1/").arg(port), *this), m_client(m_link), m_seed(seed), m_watch(watch)
    {
        m_client.SetNow(NowMs());
        CArena arena;
        arena.BeginSession(seed, 0);
        arena.m_size = CSize{800, 600};
        room == 0 ? m_client.Host(arena, 1) : m_client.Join(room, 1);
    }

    void LinkOpened() override { m_client.LinkOpened(); }
    void LinkReceived(std::span<const std::uint8_t> bytes) override { m_client.LinkReceived(bytes); }
    void LinkClosed(const std::string& why) override { m_client.LinkClosed(why); }

    // One 25 ms tick; false once the session has ended.
    bool Tick()
    {
        std::uint8_t local[net::kSeats] = {};
        if (m_client.State() == COnlineClient::EState::kPlaying)
            local[0] = Keys(++m_frames);
        m_client.Frame(local, NowMs());
        if (m_client.Room() != 0 && !m_roomTold && (m_roomTold = true))
            std::printf("netbot: room %s\n", net::RoomCode(m_client.Room()).c_str());
        for (const CArena *before, *after; m_client.NextConfirmed(before, after);)
            if (after->m_clock.m_tick % 40 == 0)
                std::printf("netbot: hash %u %016llx\n", after->m_clock.m_tick, (unsigned long long)after->Hash());
        if (m_watch >= 0)
            Watch(m_client.Arena().m_ships[m_watch].m_heading);
        // The figures leave out the first 10 s, while the machines join and catch up.
        if (m_frames == kSettleFrames) {
            m_startTick = m_client.Tick(), m_startMs = NowMs();
            m_client.Session().m_deepestRollback = 0;
        }
        std::fflush(stdout);
        return m_client.State() != COnlineClient::EState::kEnded;
    }

    void PrintFigures()
    {
        if (m_client.State() == COnlineClient::EState::kEnded)
            std::printf("netbot: ended: %s\n", m_client.Status().c_str());
        const COnlineStats& stats = m_client.Stats();
        const double seconds = double(NowMs() - m_startMs) / 1000.0;
        std::printf("netbot: figures ticks %u rate %.2f desyncs %ld deepest %d round-trip %d ms delay %u\n",
                    m_client.Tick() - m_startTick, double(m_client.Tick() - m_startTick) / seconds, stats.m_desyncs,
                    stats.m_deepestRollback, stats.m_roundTripMs, stats.m_inputDelay);
    }

private:
    static constexpr std::uint32_t kSettleFrames = 400;

    // A probe turns left for 10 ticks of every 80; others change keys every 15 ticks.
    std::uint8_t Keys(std::uint32_t frame) const
    {
        if (m_seed != 0) {
            std::uint32_t x = (m_seed * 2654435761u) ^ (frame / 15 * 40503u);
            x = (x ^ x >> 15) * 2246822519u;
            return std::uint8_t((x ^ x >> 13) & kSeatKeyMask & ~kSeatBackward);
        }
        if (frame % 80 == 0)
            std::printf("netbot: press %lld\n", NowMs());
        return frame % 80 < 10 ? kSeatLeft : 0;
    }

    // A turn that starts after a second of none.
    void Watch(const CVector2& heading)
    {
        const bool turned = heading.m_x != m_heading.m_x || heading.m_y != m_heading.m_y;
        if (turned && m_still >= 40 && m_frames > 0)
            std::printf("netbot: moved %lld\n", NowMs());
        m_still = turned ? 0 : m_still + 1;
        m_heading = heading;
    }

    CQtNetLink m_link;
    COnlineClient m_client;
    const std::uint32_t m_seed;
    const int m_watch;
    std::uint32_t m_frames = 0;
    std::uint32_t m_startTick = 0;
    long long m_startMs = NowMs();
    CVector2 m_heading;
    int m_still = 0;
    bool m_roomTold = false;
};

}  // namespace

int main(int argc, char** argv)
{
    const bool probe = argc == 6 && std::strcmp(argv[5], "probe") == 0;
    const bool watch = argc == 7 && std::strcmp(argv[5], "watch") == 0;
    if (argc != 5 && !probe && !watch) {
        std::fprintf(stderr, "usage: vexlor_netbot PORT ROOM|new SECONDS SEED [probe | watch SEAT]\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    const std::uint64_t room = std::strcmp(argv[2], "new") == 0 ? 0 : net::ParseRoomCode(argv[2]);
    CBot bot(std::atoi(argv[1]), room, probe ? 0 : std::uint32_t(std::atol(argv[4])), watch ? std::atoi(argv[6]) : -1);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (!bot.Tick())
            application.exit();
    });
    QTimer::singleShot(int(std::atof(argv[3]) * 1000), &application, [&] { application.exit(); });
    timer.start(25);
    application.exec();
    bot.PrintFigures();
    return 0;
}
