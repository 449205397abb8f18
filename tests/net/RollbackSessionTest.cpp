// Sessions of three machines over a network of fixed delay, faster than real time: every
// confirmed hash is reported and matched, and a machine whose input was spoilt on the way is
// caught by the next hash. Poor networks and their figures are the online session tests'.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "net/RollbackSession.h"
#include "support/TestSupport.h"

using namespace net;

namespace {

constexpr std::uint32_t kTicks = 2400;  // a minute
constexpr int kFrameMs = 25;
constexpr int kMachines = 3;
constexpr long kDelayMs = 60;

// Machine i holds seat i; seat 0 is the host's. The relay only forwards, in order.
class CNetwork
{
public:
    explicit CNetwork(int spoiltMachine) : m_spoiltMachine(spoiltMachine)
    {
        CArena start;
        start.BeginSession(77u, 1'700'000'000);
        start.m_size = CSize{800, 600};
        for (int i = 0; i < kMachines; ++i) {
            m_sessions.push_back(std::make_unique<CRollbackSession>());
            m_sessions[i]->Begin(start, 0, std::uint8_t(1 << i), (1 << kMachines) - 1, 1,
                                 CRollbackSession::InputDelayFor(2 * kDelayMs));
        }
        // Until the host confirmed a minute; a game that stalls ends at four.
        const auto done = [this] { return m_sessions[0]->m_confirmed >= kTicks && m_sessions[0]->m_tick >= kTicks; };
        for (long now = 0; !done() && now < 4L * kTicks * kFrameMs; now += kFrameMs) {
            for (; !m_inFlight.empty() && m_inFlight.begin()->first <= now; m_inFlight.erase(m_inFlight.begin()))
                Deliver(m_inFlight.begin()->second.first, m_inFlight.begin()->second.second);
            for (int i = 0; i < kMachines; ++i)
                Step(i, now);
        }
    }

    std::vector<std::unique_ptr<CRollbackSession>> m_sessions;

private:
    // Each machine's keys change every few ticks; now and then a command.
    void Step(int machine, long now)
    {
        if (m_chance() % 8 == 0)
            m_inputs[machine] = std::uint8_t(m_chance() % 32) & kSeatKeyMask;
        const auto roll = m_chance() % 600;
        const std::uint8_t command = roll < 2 ? kCommandAutopilot : roll < 3 ? kCommandPause : kCommandNone;
        std::uint8_t inputs[kSeats] = {};
        inputs[machine] = std::uint8_t(m_inputs[machine] | command << kCommandShift);
        CRollbackSession& session = *m_sessions[machine];
        session.Frame(inputs);
        CMessage message;
        message.m_type = EMessage::kInput;
        if (session.MakeBatch(machine, message.m_batch))
            Send(machine, message, now);
        message.m_type = EMessage::kHashReport;
        if (session.TakeHashReport(message.m_tick, message.m_hash))
            Send(machine, message, now);
    }

    void Send(int from, const CMessage& message, long now)
    {
        for (int to = 0; to < kMachines; ++to)
            if (to != from)
                m_inFlight.emplace(now + kDelayMs, std::make_pair(to, message));
    }

    // The spoilt machine gets the host's input of tick 1001 wrong.
    void Deliver(int to, CMessage message)
    {
        CInputBatch& batch = message.m_batch;
        if (to == m_spoiltMachine && batch.m_seat == 0 && batch.FirstTick() <= 1001 && batch.m_lastTick >= 1001)
            batch.m_inputs[1001 - batch.FirstTick()] = kCommandPause << kCommandShift;
        std::string error;
        if (message.m_type == EMessage::kHashReport)
            m_sessions[to]->CheckHash(message.m_tick, message.m_hash);
        else
            ASSERT_TRUE(m_sessions[to]->AddRemoteInput(batch, error)) << error;
    }

    int m_spoiltMachine;
    std::mt19937 m_chance{77u};
    std::uint8_t m_inputs[kSeats] = {};
    std::multimap<long, std::pair<int, CMessage>> m_inFlight;
};

using RollbackSession = testsupport::PinnedRandomTest;

}  // namespace

TEST_F(RollbackSession, EveryHashIsMatchedAndAMachineGoneAstrayIsCaughtAtTheNextOne)
{
    for (const int spoilt : {-1, 2}) {
        const CNetwork network(spoilt);
        for (const auto& session : network.m_sessions) {
            EXPECT_EQ(session->m_desyncs > 0, spoilt >= 0);
            EXPECT_EQ(session->m_firstDesyncTick, spoilt >= 0 ? 1040u : 0u);
            // Input reaches the others three frames after it was sent, one of which the tick
            // of input delay covers: they guess two ticks and run them again.
            EXPECT_EQ(session->m_deepestRollback, 2);
            // Each other machine's report of every 40th tick, but the last few in flight.
            EXPECT_GE(session->m_hashesMatched,
                      spoilt >= 0 ? 0 : (kMachines - 1) * long(kTicks / CRollbackSession::kHashEvery - 2));
        }
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

TEST_F(RollbackSession, AReportOfTheTickJustHashedIsComparedAtOnce)
{
    CArena start;
    start.BeginSession(1u, 0);
    CRollbackSession session;
    session.Begin(start, 0, 0b0001, 0b0001, 0b0001, 0);
    const std::uint8_t keys[kSeats] = {};
    for (int t = 0; t < 40; ++t)
        session.Frame(keys);
    std::uint32_t tick = 0;
    std::uint64_t hash = 0;
    ASSERT_TRUE(session.TakeHashReport(tick, hash));
    ASSERT_EQ(tick, 40u);
    EXPECT_TRUE(session.CheckHash(40, hash));
    EXPECT_FALSE(session.CheckHash(40, hash ^ 1));
    EXPECT_EQ(std::tuple(session.m_hashesMatched, session.m_desyncs, session.m_firstDesyncTick), std::tuple(1L, 1, 40u));
}
