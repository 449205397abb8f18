// Sessions of two to four machines over a simulated network (seeded delay, jitter, loss and
// stalls), faster than real time: two minutes of scripted play each, every confirmed hash
// equal everywhere. A machine whose game has gone astray is caught by the next hash.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "net/RollbackSession.h"
#include "support/TestSupport.h"

using namespace net;

namespace {

constexpr std::uint32_t kTicks = 4800;  // two minutes
constexpr int kFrameMs = 25;

struct CLinkFaults
{
    int m_delayMs;
    int m_jitterMs;
    double m_loss;
    int m_stallEveryMs;  // a link stops for m_stallMs now and then
    int m_stallMs;
};

struct CRun
{
    int m_deepestRollback = 0;
    long m_desyncs = 0;
    std::uint32_t m_firstDesync = 0;
    std::size_t m_hashesCompared = 0;
    double m_bytesPerTick = 0;
};

// The machines and the network between them; the relay only forwards, in order per link.
class CNetwork
{
public:
    CNetwork(int machines, const CLinkFaults& faults, std::uint32_t seed) : m_faults(faults), m_chance(seed)
    {
        CArena start;
        start.BeginSession(seed, 1'700'000'000);
        start.m_size = CSize{800, 600};
        for (int i = 0; i < machines; ++i) {
            m_sessions.push_back(std::make_unique<CRollbackSession>());
            m_sessions[i]->Begin(start, 0, std::uint8_t(1 << i), std::uint8_t((1 << machines) - 1), 1,
                                 CRollbackSession::InputDelayFor(2 * faults.m_delayMs));
            m_keys.emplace_back(seed + i);
        }
        m_linkFree.assign(machines * machines, 0);
        m_hashes.resize(machines);
    }

    CRun Run(int spoiltMachine = -1)
    {
        CRun run;
        long sent = 0;
        for (long now = 0; !AllConfirmed() && now < long(kTicks) * kFrameMs * 4; now += kFrameMs) {
            Deliver(now);
            for (int i = 0; i < int(m_sessions.size()); ++i) {
                CRollbackSession& session = *m_sessions[i];
                if (session.Frame(Script(i)) && i == spoiltMachine && session.m_tick == 1000)
                    session.m_arena.m_ships[0].m_score += 1;
                CMessage message;
                message.m_type = EMessage::kInput;
                if (session.MakeBatch(i, message.m_batch))
                    sent += Send(i, message, now);
                std::uint32_t tick;
                std::uint64_t hash;
                if (session.TakeHashReport(tick, hash)) {
                    m_hashes[i][tick] = hash;
                    message.m_type = EMessage::kHashReport;
                    message.m_tick = tick;
                    message.m_hash = hash;
                    Send(i, message, now);
                }
            }
        }
        for (const auto& session : m_sessions) {
            run.m_deepestRollback = std::max(run.m_deepestRollback, session->m_deepestRollback);
            run.m_desyncs += session->m_desyncs;
            if (session->m_desyncs != 0 && (run.m_firstDesync == 0 || session->m_firstDesyncTick < run.m_firstDesync))
                run.m_firstDesync = session->m_firstDesyncTick;
        }
        for (const auto& [tick, hash] : m_hashes[0])
            for (std::size_t i = 1; i < m_hashes.size(); ++i)
                if (m_hashes[i].count(tick) != 0 && m_hashes[i][tick] == hash)
                    run.m_hashesCompared += 1;
        run.m_bytesPerTick = double(sent) / double(m_sessions.size() * m_sessions[0]->m_tick);
        return run;
    }

    std::vector<std::unique_ptr<CRollbackSession>> m_sessions;

private:
    struct CPacket
    {
        int m_to;
        std::vector<std::uint8_t> m_bytes;
    };

    bool AllConfirmed() const
    {
        for (const auto& session : m_sessions)
            if (session->m_confirmed < kTicks || session->m_tick < kTicks)
                return false;
        return true;
    }

    // Each machine's keys change every few ticks; now and then a command.
    const std::uint8_t (&Script(int machine))[kSeats]
    {
        std::mt19937& keys = m_keys[machine];
        if (keys() % 8 == 0)
            m_local[machine] = std::uint8_t(keys() % 32);
        std::uint8_t command = kCommandNone;
        if (keys() % 400 == 0)
            command = kCommandAutopilot;
        else if (keys() % 3000 == 0)
            command = kCommandPause;
        else if (machine == 0 && keys() % 1500 == 0)
            command = keys() % 2 ? kCommandMoreShips : kCommandFewerShips;
        static std::uint8_t inputs[kSeats];
        inputs[machine] = std::uint8_t(m_local[machine] | command << kCommandShift);
        return inputs;
    }

    long Send(int from, const CMessage& message, long now)
    {
        std::vector<std::uint8_t> bytes(kMaxMessage);
        bytes.resize(Encode(message, bytes.data(), bytes.size()));
        for (int to = 0; to < int(m_sessions.size()); ++to) {
            if (to == from || std::uniform_real_distribution<>(0, 1)(m_chance) < m_faults.m_loss)
                continue;
            long& free = m_linkFree[from * m_sessions.size() + to];
            long at = now + m_faults.m_delayMs + long(m_chance() % (m_faults.m_jitterMs + 1));
            if (m_chance() % (m_faults.m_stallEveryMs / kFrameMs) == 0)
                at += m_faults.m_stallMs;
            free = std::max(free, at);
            m_inFlight.emplace(free, CPacket{to, bytes});
        }
        return long(bytes.size());
    }

    void Deliver(long now)
    {
        while (!m_inFlight.empty() && m_inFlight.begin()->first <= now) {
            const CPacket packet = m_inFlight.begin()->second;
            m_inFlight.erase(m_inFlight.begin());
            CMessage message;
            std::string error;
            ASSERT_TRUE(Decode(packet.m_bytes, message, error)) << error;
            CRollbackSession& session = *m_sessions[packet.m_to];
            if (message.m_type == EMessage::kHashReport)
                session.CheckHash(message.m_tick, message.m_hash);
            else
                ASSERT_TRUE(session.AddRemoteInput(message.m_batch, error)) << error;
        }
    }

    CLinkFaults m_faults;
    std::mt19937 m_chance;
    std::vector<std::mt19937> m_keys;
    std::uint8_t m_local[kSeats] = {};
    std::vector<long> m_linkFree;
    std::multimap<long, CPacket> m_inFlight;
    std::vector<std::map<std::uint32_t, std::uint64_t>> m_hashes;
};

class RollbackSession : public testsupport::PinnedRandomTest
{
};

}  // namespace

TEST_F(RollbackSession, TwoToFourMachinesAgreeOnEveryConfirmedHashThroughAPoorNetwork)
{
    const CLinkFaults faults{150, 40, 0.03, 8000, 400};
    for (int machines = 2; machines <= 4; ++machines) {
        CNetwork network(machines, faults, 1000u + machines);
        const CRun run = network.Run();
        EXPECT_EQ(run.m_desyncs, 0) << machines << " machines, first at tick " << run.m_firstDesync;
        // Each of the others' reports of every 40th tick, matched.
        EXPECT_GE(run.m_hashesCompared, (machines - 1) * kTicks / CRollbackSession::kHashEvery) << machines;
        // A stall of 400 ms outlasts the prediction: the game waits rather than guess further.
        EXPECT_EQ(run.m_deepestRollback, int(CRollbackSession::kMaxPrediction));
    }
}

TEST_F(RollbackSession, AtOneFiftyMsEachWayNoRollbackIsDeeperThanEightTicks)
{
    CNetwork network(4, CLinkFaults{150, 40, 0.03, 1000000, 0}, 2024u);
    const CRun run = network.Run();
    EXPECT_EQ(run.m_desyncs, 0);
    EXPECT_GT(run.m_deepestRollback, 0);
    EXPECT_LE(run.m_deepestRollback, 8);
    // Each machine sends one batch a tick: 11 bytes and the last 4 ticks' inputs.
    EXPECT_LE(run.m_bytesPerTick, 15.0);
    std::printf("4 machines, 150 +- 40 ms each way, 3 %% lost: deepest rollback %d ticks, %.2f bytes sent a tick\n",
                run.m_deepestRollback, run.m_bytesPerTick);
    RecordProperty("deepest_rollback", run.m_deepestRollback);
}

TEST_F(RollbackSession, AMachineGoneAstrayIsCaughtAtTheNextHash)
{
    CNetwork network(3, CLinkFaults{60, 10, 0.0, 1000000, 0}, 77u);
    const CRun run = network.Run(2);
    EXPECT_GT(run.m_desyncs, 0);
    EXPECT_EQ(run.m_firstDesync, 1040u);
}

TEST_F(RollbackSession, RefusesInputNoPeerMaySend)
{
    CArena start;
    start.BeginSession(1u, 0);
    CRollbackSession session;
    session.Begin(start, 0, 0b0001, 0b0111, 0b0001, 0);
    std::string error;
    CInputBatch batch{1, 0, 4, 4, {1, 2, 3, 4}, 0};
    EXPECT_TRUE(session.AddRemoteInput(batch, error)) << error;
    batch.m_seat = 0;
    EXPECT_FALSE(session.AddRemoteInput(batch, error));
    EXPECT_EQ(error, "input for seat 1, which is not the sender's");
    batch.m_seat = 3;
    EXPECT_FALSE(session.AddRemoteInput(batch, error));
    EXPECT_EQ(error, "input for seat 4, which is not the sender's");
    batch.m_seat = 2;
    batch.m_inputs[1] = kCommandMoreShips << kCommandShift;
    EXPECT_FALSE(session.AddRemoteInput(batch, error));
    EXPECT_EQ(error, "a change of the ship count from seat 3, not the host's");
    batch = CInputBatch{2, 0, 64, 1, {0}, 0};
    EXPECT_FALSE(session.AddRemoteInput(batch, error));
    EXPECT_EQ(error, "input for tick 64, beyond the ticks this game holds");
    batch.m_lastTick = 63;
    EXPECT_TRUE(session.AddRemoteInput(batch, error)) << error;
}

TEST(RollbackInputDelay, GrowsATickEvery75MsOfRoundTripUpToTwo)
{
    EXPECT_EQ(CRollbackSession::InputDelayFor(0), 0u);
    EXPECT_EQ(CRollbackSession::InputDelayFor(74), 0u);
    EXPECT_EQ(CRollbackSession::InputDelayFor(75), 1u);
    EXPECT_EQ(CRollbackSession::InputDelayFor(149), 1u);
    EXPECT_EQ(CRollbackSession::InputDelayFor(150), 2u);
    EXPECT_EQ(CRollbackSession::InputDelayFor(5000), 2u);
}
