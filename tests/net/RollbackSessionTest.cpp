// Sessions of two to four machines over a simulated network (seeded delay, jitter, loss and
// stalls), faster than real time: two minutes of scripted play each, every confirmed hash
// equal everywhere. A machine whose input was spoilt on the way is caught by the next hash.
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
    int m_stallMs;  // how long a link stops, about every 8 s
};

// The machines and the network between them; the relay only forwards, in order per link.
// Machine i holds seat i; seat 0 is the host's.
class CNetwork
{
public:
    CNetwork(int machines, const CLinkFaults& faults, std::uint32_t seed)
        : m_faults(faults), m_chance(seed), m_linkFree(machines * machines, 0)
    {
        CArena start;
        start.BeginSession(seed, 1'700'000'000);
        start.m_size = CSize{800, 600};
        for (int i = 0; i < machines; ++i) {
            m_sessions.push_back(std::make_unique<CRollbackSession>());
            m_sessions[i]->Begin(start, 0, std::uint8_t(1 << i), std::uint8_t((1 << machines) - 1), 1,
                                 CRollbackSession::InputDelayFor(2 * faults.m_delayMs));
        }
    }

    // Runs until every machine has confirmed two minutes; the input bytes each sent a tick.
    double Run()
    {
        long sent = 0;
        for (long now = 0; now < long(kTicks) * kFrameMs * 4; now += kFrameMs) {
            Deliver(now);
            bool done = true;
            for (int i = 0; i < int(m_sessions.size()); ++i) {
                CRollbackSession& session = *m_sessions[i];
                session.Frame(Script(i));
                CMessage message;
                message.m_type = EMessage::kInput;
                if (session.MakeBatch(i, message.m_batch))
                    sent += Send(i, message, now);
                message.m_type = EMessage::kHashReport;
                if (session.TakeHashReport(message.m_tick, message.m_hash))
                    Send(i, message, now);
                done = done && session.m_confirmed >= kTicks && session.m_tick >= kTicks;
            }
            if (done)
                break;
        }
        return double(sent) / double(m_sessions.size() * m_sessions[0]->m_tick);
    }

    std::vector<std::unique_ptr<CRollbackSession>> m_sessions;
    // This machine gets the host's input of tick 1001 wrong.
    int m_spoiltMachine = -1;

private:
    // Each machine's keys change every few ticks; now and then a command.
    const std::uint8_t (&Script(int machine))[kSeats]
    {
        if (m_chance() % 8 == 0)
            m_inputs[machine] = std::uint8_t(m_chance() % 32);
        m_inputs[machine] &= kSeatKeyMask;
        const auto roll = m_chance() % 6000;
        const std::uint8_t command = roll < 15 ? kCommandAutopilot : roll < 17 ? kCommandPause : kCommandNone;
        const std::uint8_t ships = machine == 0 && roll >= 17 && roll < 21 ? kCommandMoreShips + roll % 2 : 0;
        m_inputs[machine] |= std::uint8_t((command | ships) << kCommandShift);
        return m_inputs;
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
            if (m_chance() % (8000 / kFrameMs) == 0)
                at += m_faults.m_stallMs;
            free = std::max(free, at);
            m_inFlight.emplace(free, std::make_pair(to, bytes));
        }
        return long(bytes.size());
    }

    void Deliver(long now)
    {
        for (; !m_inFlight.empty() && m_inFlight.begin()->first <= now; m_inFlight.erase(m_inFlight.begin())) {
            const auto& [to, bytes] = m_inFlight.begin()->second;
            CMessage message;
            std::string error;
            ASSERT_TRUE(Decode(bytes, message, error)) << error;
            CInputBatch& batch = message.m_batch;
            if (to == m_spoiltMachine && batch.m_seat == 0 && batch.FirstTick() <= 1001 && batch.m_lastTick >= 1001)
                batch.m_inputs[1001 - batch.FirstTick()] = kCommandPause << kCommandShift;
            if (message.m_type == EMessage::kHashReport)
                m_sessions[to]->CheckHash(message.m_tick, message.m_hash);
            else
                ASSERT_TRUE(m_sessions[to]->AddRemoteInput(message.m_batch, error)) << error;
        }
    }

    CLinkFaults m_faults;
    std::mt19937 m_chance;
    std::uint8_t m_inputs[kSeats] = {};
    std::vector<long> m_linkFree;
    std::multimap<long, std::pair<int, std::vector<std::uint8_t>>> m_inFlight;
};

using RollbackSession = testsupport::PinnedRandomTest;

}  // namespace

TEST_F(RollbackSession, TwoToFourMachinesAgreeOnEveryConfirmedHashThroughAPoorNetwork)
{
    for (int machines = 2; machines <= 4; ++machines) {
        CNetwork network(machines, CLinkFaults{150, 40, 0.03, 400}, 1000u + machines);
        network.Run();
        for (const auto& session : network.m_sessions) {
            EXPECT_EQ(session->m_desyncs, 0) << machines << " machines, first at " << session->m_firstDesyncTick;
            // Each other machine's report of every 40th tick, matched, but for the few lost.
            EXPECT_GE(session->m_hashesMatched, (machines - 1) * long(kTicks / CRollbackSession::kHashEvery) * 9 / 10);
            // A stall of 400 ms outlasts the prediction: the game waits rather than guess further.
            EXPECT_LE(session->m_deepestRollback, int(CRollbackSession::kMaxPrediction));
        }
    }
}

TEST_F(RollbackSession, AtOneFiftyMsEachWayNoRollbackIsDeeperThanEightTicks)
{
    CNetwork network(4, CLinkFaults{150, 40, 0.03, 0}, 2024u);
    const double bytesPerTick = network.Run();
    int deepest = 0;
    for (const auto& session : network.m_sessions) {
        EXPECT_EQ(session->m_desyncs, 0);
        deepest = std::max(deepest, session->m_deepestRollback);
    }
    EXPECT_GT(deepest, 0);
    EXPECT_LE(deepest, 8);
    // Each machine sends one batch a tick: 11 bytes and the last 4 ticks' inputs.
    EXPECT_LE(bytesPerTick, 15.0);
    std::printf("4 machines, 150 +- 40 ms each way, 3 %% lost: deepest rollback %d ticks, %.2f bytes sent a tick\n",
                deepest, bytesPerTick);
}

TEST_F(RollbackSession, AMachineGoneAstrayIsCaughtAtTheNextHash)
{
    CNetwork network(3, CLinkFaults{60, 10, 0.0, 0}, 77u);
    network.m_spoiltMachine = 2;
    network.Run();
    for (const auto& session : network.m_sessions) {
        EXPECT_GT(session->m_desyncs, 0);
        EXPECT_EQ(session->m_firstDesyncTick, 1040u);
    }
}

TEST_F(RollbackSession, RefusesInputNoPeerMaySend)
{
    CArena start;
    start.BeginSession(1u, 0);
    CRollbackSession session;
    session.Begin(start, 0, 0b0001, 0b0111, 0b0001, 0);
    std::string error;
    const auto refusal = [&](CInputBatch batch) { return session.AddRemoteInput(batch, error) ? "accepted" : error; };
    EXPECT_EQ(refusal({0, 0, 4, 1, {1}, 0}), "input for seat 1, which is not the sender's");
    EXPECT_EQ(refusal({3, 0, 4, 1, {1}, 0}), "input for seat 4, which is not the sender's");
    EXPECT_EQ(refusal({2, 0, 4, 1, {kCommandMoreShips << kCommandShift}, 0}),
              "a change of the ship count from seat 3, not the host's");
    EXPECT_EQ(refusal({2, 0, 64, 1, {0}, 0}), "input for tick 64, beyond the ticks this game holds");
    EXPECT_EQ(refusal({2, 0, 63, 1, {0}, 0}), "accepted");
}

TEST(RollbackInputDelay, GrowsATickEvery75MsOfRoundTripUpToTwo)
{
    for (const auto& [roundTrip, delay] : {std::pair{0, 0u}, {74, 0u}, {75, 1u}, {149, 1u}, {150, 2u}, {5000, 2u}})
        EXPECT_EQ(CRollbackSession::InputDelayFor(roundTrip), delay) << roundTrip;
}
