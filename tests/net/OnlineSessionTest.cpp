// Online clients and one relay on a simulated clock and network: seeded delay and jitter
// each way, order kept as TCP keeps it, a lost segment costing a retransmission, and stalls
// of 200 ms. Two-minute scripted sessions run faster than real time; every confirmed tick's
// hash must match everywhere. The first test prints the figures the measuring script reads:
//   vexlor_tests --gtest_filter=OnlineSession.ScriptedSessions*
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "net/OnlineClient.h"
#include "net/Relay.h"
#include "support/TestSupport.h"

using namespace net;

namespace {

constexpr long kFrameMs = 25;
constexpr long kSessionMs = 4800 * kFrameMs;  // two minutes

struct CLinkFaults
{
    int m_delayMs = 0;
    int m_jitterMs = 20;
    double m_loss = 0.01;
    bool m_stalls = true;
};

class CNet;

// One machine: its link, its client and what it saw.
struct CMachine final : CNetLink
{
    CMachine(CNet& net, int connection, std::uint32_t seed) : m_net(net), m_connection(connection), m_chance(seed) {}
    void Send(std::span<const std::uint8_t> bytes) override;
    void Close() override;

    CNet& m_net;
    int m_connection;
    std::mt19937 m_chance;
    COnlineClient m_client{*this};
    bool m_alive = true;
    std::uint8_t m_keys = 0;
    std::map<std::uint32_t, std::uint64_t> m_confirmed;
};

class CNet : public CRelaySink
{
public:
    enum EKind { kOpen, kData, kClose };
    struct CEvent
    {
        int m_connection;
        bool m_toRelay;
        EKind m_kind;
        std::vector<std::uint8_t> m_bytes;
    };

    CNet(const CLinkFaults& faults, std::uint32_t seed) : m_faults(faults), m_chance(seed) {}

    CMachine& Connect(const std::string& address, std::uint64_t room, int seats, const CArena* host = nullptr)
    {
        const int connection = int(m_addresses.size());
        m_addresses.push_back(address);
        m_machines.push_back(std::make_unique<CMachine>(*this, connection, 7u * connection + 1));
        CMachine& machine = *m_machines.back();
        host ? machine.m_client.Host(*host, seats) : machine.m_client.Join(room, seats);
        Post(connection, true, kOpen, {});
        return machine;
    }
    // A machine killed: its peer notices the connection gone after the delay.
    void Kill(CMachine& machine)
    {
        machine.m_alive = false;
        Post(machine.m_connection, true, kClose, {});
    }

    void Run(long untilMs)
    {
        for (; m_now < untilMs; m_now += kFrameMs) {
            for (auto event = m_events.begin(); event != m_events.end() && event->first.first <= m_now;
                 event = m_events.erase(event))
                Deliver(event->first.first, event->second);
            if (m_now % 1000 == 0)
                m_relay.Poll(m_now);
            for (const auto& machine : m_machines)
                if (machine->m_alive)
                    Play(*machine);
        }
    }

    void Post(int connection, bool toRelay, EKind kind, std::span<const std::uint8_t> bytes)
    {
        long& free = m_free[connection * 2 + toRelay];
        long at = m_now + m_faults.m_delayMs + long(m_chance() % (2 * m_faults.m_jitterMs + 1)) - m_faults.m_jitterMs;
        if (std::uniform_real_distribution<>(0, 1)(m_chance) < m_faults.m_loss)
            at += 2 * m_faults.m_delayMs + 3 * kFrameMs;  // lost: sent again after three duplicate acknowledgements
        const long phase = (m_now + connection * 1300) % 8000;
        if (m_faults.m_stalls && phase < 200)
            at += 200 - phase;
        free = std::max({free, at, m_now});
        m_events.emplace(std::make_pair(free, m_sequence++),
                         CEvent{connection, toRelay, kind, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    void Send(int connection, std::span<const std::uint8_t> bytes) override { Post(connection, false, kData, bytes); }
    void Close(int connection, const std::string&) override { Post(connection, false, kClose, {}); }

    // Key presses seen on another machine's newest arena, in ms.
    std::vector<long> m_latencies;
    std::vector<std::unique_ptr<CMachine>> m_machines;
    std::vector<std::string> m_addresses;
    CRelay m_relay{*this, [this] { return std::uint64_t(m_chance()) << 20 | m_chance(); }};
    long m_now = 0;

private:
    struct CPress
    {
        std::uint32_t m_tick;
        long m_atMs;
    };

    void Deliver(long at, const CEvent& event)
    {
        CMachine& machine = *m_machines[event.m_connection];
        machine.m_client.SetNow(at);
        if (event.m_toRelay && event.m_kind == kOpen) {
            m_relay.Open(event.m_connection, m_addresses[event.m_connection], at);
            Post(event.m_connection, false, kOpen, {});
        } else if (event.m_toRelay) {
            event.m_kind == kData ? m_relay.Receive(event.m_connection, event.m_bytes, at)
                                  : m_relay.Closed(event.m_connection);
        } else if (machine.m_alive) {
            if (event.m_kind == kOpen)
                machine.m_client.LinkOpened();
            else if (event.m_kind == kData)
                machine.m_client.LinkReceived(event.m_bytes);
            else
                machine.m_client.LinkClosed("the connection was reset");
        }
    }

    // Each player's keys change every few ticks; now and then a command of their own.
    void Play(CMachine& machine)
    {
        COnlineClient& client = machine.m_client;
        std::uint8_t local[kSeats] = {};
        for (std::uint8_t& player : local) {
            const auto roll = machine.m_chance() % 4000;
            player = std::uint8_t((roll < 8 ? kCommandAutopilot : roll < 9 ? kCommandPause : kCommandNone) << kCommandShift);
            if (roll >= 9 && roll < 13 && client.IsHost())
                player = std::uint8_t((kCommandMoreShips + roll % 2) << kCommandShift);
        }
        if (machine.m_chance() % 8 == 0)
            machine.m_keys = std::uint8_t(machine.m_chance() % 32);
        local[0] |= machine.m_keys;
        const std::uint32_t before = client.Session().m_localNext;
        if (client.Frame(local, m_now) && client.Session().m_localNext > before)
            Pressed(machine, client.Session().m_localNext - 1, local[0] & kSeatKeyMask);
        const CArena* was = nullptr;
        const CArena* now = nullptr;
        while (client.NextConfirmed(was, now))
            machine.m_confirmed[now->m_clock.m_tick] = now->Hash();
        Displayed(machine);
    }

    void Pressed(CMachine& machine, std::uint32_t tick, std::uint8_t keys)
    {
        const int seat = std::countr_zero(machine.m_client.LocalSeats());
        if (keys != m_lastKeys[seat])
            m_presses[seat].push_back(CPress{tick, m_now});
        m_lastKeys[seat] = keys;
    }

    void Displayed(CMachine& machine)
    {
        const CRollbackSession& session = machine.m_client.Session();
        for (int seat = 0; seat < kSeats; ++seat) {
            auto& presses = m_seen[machine.m_connection][seat];
            for (; presses < m_presses[seat].size() && !(session.m_localSeats >> seat & 1); ++presses) {
                const CPress& press = m_presses[seat][presses];
                if (session.m_tick < press.m_tick || session.Known(seat) < press.m_tick)
                    break;
                m_latencies.push_back(m_now - press.m_atMs);
            }
        }
    }

    CLinkFaults m_faults;
    std::mt19937 m_chance;
    std::multimap<std::pair<long, long>, CEvent> m_events;
    std::map<int, long> m_free;
    long m_sequence = 0;
    std::uint8_t m_lastKeys[kSeats] = {};
    std::vector<CPress> m_presses[kSeats];
    std::map<int, std::array<std::size_t, kSeats>> m_seen;
};

void CMachine::Send(std::span<const std::uint8_t> bytes) { m_net.Post(m_connection, true, CNet::kData, bytes); }
void CMachine::Close() { m_net.Post(m_connection, true, CNet::kClose, {}); }

CArena Start(std::uint32_t seed)
{
    CArena arena;
    arena.BeginSession(seed, 1'700'000'000);
    arena.m_size = CSize{800, 600};
    return arena;
}

// Every two machines agree on each confirmed tick both saw from `from` on; how many ticks
// the least of them confirmed.
std::size_t ExpectSameHashes(const CNet& net, std::uint32_t from = 0)
{
    std::size_t least = SIZE_MAX;
    std::vector<std::uint32_t> differing;
    for (const auto& a : net.m_machines) {
        if (!a->m_alive)
            continue;
        least = std::min(least, a->m_confirmed.size());
        for (const auto& b : net.m_machines)
            for (auto tick = a->m_confirmed.lower_bound(from); b->m_alive && tick != a->m_confirmed.end(); ++tick)
                if (const auto other = b->m_confirmed.find(tick->first);
                    other != b->m_confirmed.end() && other->second != tick->second)
                    differing.push_back(tick->first);
    }
    EXPECT_TRUE(differing.empty()) << differing.size() << " differ, the first at tick " << differing.front();
    return least;
}

using OnlineSession = testsupport::PinnedRandomTest;

}  // namespace

// Delay from one machine to another, each way: half on each one's link to the relay.
TEST_F(OnlineSession, ScriptedSessionsAgreeAndPrintTheirFigures)
{
    // Then with no losses and no stalls, where no rollback may go deeper than 8 ticks.
    for (const CLinkFaults faults : {CLinkFaults{0}, CLinkFaults{25}, CLinkFaults{75}, CLinkFaults{0, 20, 0, false},
                                     CLinkFaults{25, 20, 0, false}, CLinkFaults{75, 20, 0, false}}) {
        const int delay = 2 * faults.m_delayMs;
        for (int machines = faults.m_stalls ? 2 : 4; machines <= 4; ++machines) {
            const CArena arena = Start(std::uint32_t(delay + machines));
            CNet net(faults, std::uint32_t(delay * 10 + machines));
            const CMachine& host = net.Connect("10.0.0.1", 0, 1, &arena);
            net.Run(1000);
            for (int i = 1; i < machines; ++i)
                net.Connect("10.0.0." + std::to_string(i + 1), host.m_client.Room(), 1);
            // Steady play from here: the joins' catching up is not counted in the depth.
            net.Run(10'000);
            const std::uint32_t ticks = host.m_client.Tick();
            for (const auto& machine : net.m_machines)
                machine->m_client.Session().m_deepestRollback = 0;
            net.Run(1000 + kSessionMs);
            const double rate = (host.m_client.Tick() - ticks) * 1000.0 / (kSessionMs - 9000);
            EXPECT_GE(ExpectSameHashes(net), 4600u) << machines << " machines, " << delay << " ms";
            int deepest = 0;
            long sent = 0;
            long received = 0;
            for (const auto& machine : net.m_machines) {
                const COnlineStats& stats = machine->m_client.Stats();
                EXPECT_EQ(stats.m_desyncs, 0);
                EXPECT_EQ(machine->m_client.State(), COnlineClient::EState::kPlaying);
                deepest = std::max(deepest, stats.m_deepestRollback);
                sent = std::max(sent, stats.m_bytesSent);
                received = std::max(received, stats.m_bytesReceived);
            }
            EXPECT_LE(deepest, faults.m_stalls ? int(CRollbackSession::kMaxPrediction) : 8);
            EXPECT_LE(received * 1000 / kSessionMs, 2048);
            std::sort(net.m_latencies.begin(), net.m_latencies.end());
            ASSERT_FALSE(net.m_latencies.empty());
            std::printf("online %d machines, %3d ms each way%s: deepest rollback %2d ticks, per client %4ld B/s sent "
                        "%4ld B/s received, key to remote screen p95 %3ld ms, %.1f ticks a second\n",
                        machines, delay, faults.m_stalls ? "" : " (no losses or stalls)", deepest,
                        sent * 1000 / kSessionMs, received * 1000 / kSessionMs,
                        net.m_latencies[net.m_latencies.size() * 95 / 100], rate);
        }
    }
}

TEST_F(OnlineSession, ADroppedPlayerLeavesItsSeatToTheAutopilotAndComesBackToIt)
{
    const CArena arena = Start(5u);
    CNet net(CLinkFaults{25}, 5u);
    CMachine& host = net.Connect("10.0.0.1", 0, 1, &arena);
    net.Run(1000);
    net.Connect("10.0.0.2", host.m_client.Room(), 1);
    CMachine& dropped = net.Connect("10.0.0.3", host.m_client.Room(), 1);
    net.Run(20'000);
    EXPECT_EQ(dropped.m_client.LocalSeats(), 0b0100);
    net.Kill(dropped);
    net.Run(25'000);
    // Its seat is kept for it: a newcomer from elsewhere takes the sentry.
    const CMachine& newcomer = net.Connect("10.0.0.9", host.m_client.Room(), 1);
    net.Run(40'000);
    EXPECT_EQ(newcomer.m_client.LocalSeats(), 0b1000);
    EXPECT_EQ(host.m_client.HeldSeats(), 0b1011);
    EXPECT_TRUE(host.m_client.Arena().m_ships[2].m_autopilot);
    const CMachine& back = net.Connect("10.0.0.3", host.m_client.Room(), 1);
    net.Run(45'000);
    EXPECT_EQ(back.m_client.LocalSeats(), 0b0100);
    EXPECT_FALSE(host.m_client.Arena().m_ships[2].m_autopilot);
    net.Run(60'000);
    EXPECT_GE(ExpectSameHashes(net), 500u);
    for (const auto& machine : net.m_machines)
        EXPECT_EQ(machine->m_client.Stats().m_desyncs, 0);
}

TEST_F(OnlineSession, TheNextMemberHostsWhenTheHostLeavesAndARelayGoneEndsItPlainly)
{
    const CArena arena = Start(9u);
    CNet net(CLinkFaults{40}, 9u);
    CMachine& host = net.Connect("10.0.0.1", 0, 1, &arena);
    net.Run(1000);
    const CMachine& second = net.Connect("10.0.0.2", host.m_client.Room(), 2);
    net.Run(3000);
    const CMachine& third = net.Connect("10.0.0.3", host.m_client.Room(), 1);
    net.Run(20'000);
    EXPECT_FALSE(second.m_client.IsHost());
    host.m_client.Leave();
    host.m_alive = false;
    net.Run(30'000);
    EXPECT_TRUE(second.m_client.IsHost());
    EXPECT_EQ(third.m_client.HeldSeats(), 0b1110);
    EXPECT_TRUE(third.m_client.Arena().m_ships[0].m_autopilot);
    EXPECT_GE(ExpectSameHashes(net), 800u);
    for (const int connection : {1, 2})
        net.Close(connection, "");
    net.Run(31'000);
    EXPECT_EQ(third.m_client.State(), COnlineClient::EState::kEnded);
    EXPECT_EQ(third.m_client.Status(), "online game over: the relay is gone: the connection was reset");
    const std::uint32_t tick = third.m_client.Tick();
    net.Run(32'000);
    EXPECT_EQ(third.m_client.Tick(), tick);
}

TEST_F(OnlineSession, AMachineOutOfStepIsCaughtAndTakesTheHostsGame)
{
    const CArena arena = Start(13u);
    CNet net(CLinkFaults{25}, 13u);
    CMachine& host = net.Connect("10.0.0.1", 0, 1, &arena);
    net.Run(1000);
    net.Connect("10.0.0.2", host.m_client.Room(), 1);
    CMachine& astray = net.Connect("10.0.0.3", host.m_client.Room(), 1);
    net.Run(20'000);
    // A confirmed state spoilt: every tick since runs from it.
    CRollbackSession& session = astray.m_client.Session();
    CArena spoilt = session.State(session.Final());
    spoilt.m_ships[1].m_score += 7;
    session.Resync(spoilt, session.Final());
    net.Run(40'000);
    EXPECT_GE(astray.m_client.Stats().m_desyncs, 1);
    EXPECT_GE(astray.m_client.Stats().m_resyncs, 1);
    EXPECT_EQ(host.m_client.Stats().m_resyncs, 0);
    EXPECT_GE(ExpectSameHashes(net, 30 * 40), 1400u);
}
