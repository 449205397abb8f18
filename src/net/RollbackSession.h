#pragma once
// CRollbackSession: one machine's run of a shared game, in the manner of GGPO. Every machine
// runs the whole game. A local input is sent at once and applies after the input delay;
// a remote seat's missing input is predicted (its last keys repeat, no command) and, when
// the real one differs, the game goes back to the last state that input had not touched and
// runs again. A ring of saved states makes that a copy; nothing is allocated per tick.
// Every 40th tick, once confirmed, is hashed and compared with the peers' reports.
#include <cstdint>
#include <string>

#include "arena/Arena.h"
#include "net/Protocol.h"

class CRollbackSession
{
public:
    // The game runs at most this far ahead of the ticks whose every input is known.
    static constexpr std::uint32_t kMaxPrediction = 20;
    static constexpr std::uint32_t kStates = 32;
    static constexpr std::uint32_t kInputs = 64;
    static constexpr std::uint32_t kHashEvery = 40;
    static constexpr int kHashes = 8;
    // A batch repeats the last ticks so that a lost message costs nothing.
    static constexpr std::uint32_t kRepeat = 4;

    CArena m_arena;
    // The last tick m_arena has run.
    std::uint32_t m_tick = 0;
    // Every held seat's input is known up to this tick.
    std::uint32_t m_confirmed = 0;
    std::uint8_t m_localSeats = 0;
    std::uint8_t m_heldSeats = 0;
    std::uint8_t m_hostSeats = 0;
    std::uint32_t m_inputDelay = 0;
    // The tick the next local input is for.
    std::uint32_t m_localNext = 1;

    int m_deepestRollback = 0;
    long m_rollbacks = 0;
    long m_hashesMatched = 0;
    long m_desyncs = 0;
    std::uint32_t m_firstDesyncTick = 0;

    // Starts from the arena as it stands after tick `tick`. Seats are masks: this machine's,
    // every player's (the rest fly on autopilot with no keys) and the host's.
    void Begin(const CArena& start, std::uint32_t tick, std::uint8_t localSeats, std::uint8_t heldSeats,
               std::uint8_t hostSeats, std::uint32_t inputDelay);

    // The local seats' inputs (indexed by seat) for the next tick they can take, and one tick
    // run; false, taking nothing, while the game waits for remote input.
    bool Frame(const std::uint8_t (&local)[net::kSeats]);
    // A peer's inputs; false with one line of why for input no peer may send.
    bool AddRemoteInput(const net::CInputBatch& batch, std::string& error);
    // The batch to send for a local seat each frame; false when the peers lack nothing of it.
    bool MakeBatch(int seat, net::CInputBatch& batch) const;
    // The newest confirmed hash not yet reported; false when there is none.
    bool TakeHashReport(std::uint32_t& tick, std::uint64_t& hash);
    // A peer's hash of a confirmed tick; false when it differs from ours (a desync).
    bool CheckHash(std::uint32_t tick, std::uint64_t hash);

    // The input delay for a measured round trip: 0 to 2 ticks.
    static std::uint32_t InputDelayFor(int roundTripMs);

private:
    struct CSlot
    {
        std::uint32_t m_tick = 0;
        bool m_known = false;
        std::uint8_t m_input = 0;
        // What the tick ran with, known or predicted.
        std::uint8_t m_used = 0;
    };
    struct CHash
    {
        std::uint32_t m_tick = 0;
        std::uint64_t m_hash = 0;
    };

    CSlot& Slot(std::uint32_t tick, int seat) { return m_inputs[tick % kInputs][seat]; }
    std::uint8_t InputFor(std::uint32_t tick, int seat);
    void RunTick(std::uint32_t tick);
    void Store(std::uint32_t tick, int seat, std::uint8_t input);
    void UpdateConfirmed();
    void RollBack();
    void HashConfirmed();
    bool Compare(const CHash& mine, const CHash& theirs);

    CSlot m_inputs[kInputs][net::kSeats];
    // Each seat's input is known up to here, without a gap.
    std::uint32_t m_known[net::kSeats] = {};
    // The peers' confirmed ticks, from their batches: what they still lack.
    std::uint32_t m_peerConfirmed[net::kSeats] = {};
    CArena m_states[kStates];
    // The first tick that ran with a prediction that proved wrong; none past m_tick.
    std::uint32_t m_rollbackFrom = UINT32_MAX;
    std::uint32_t m_hashedUpTo = 0;
    CHash m_mine[kHashes];
    CHash m_theirs[kHashes];
    int m_theirNext = 0;
    bool m_reportDue = false;
    // The last frame found the game too far ahead of its confirmed ticks.
    bool m_waiting = false;
};
