#pragma once
// CRollbackSession: one machine's run of a shared game, in the manner of GGPO. Every machine
// runs the whole game. A local input is sent at once and applies after the input delay;
// a remote seat's missing input is predicted (its last keys repeat, no command) and, when
// the real one differs, the game goes back to the last state that input had not touched and
// runs again. A ring of saved states makes that a copy; nothing is allocated per tick.
// Every 40th tick, once confirmed, is hashed and compared with the peers' reports.
// Seats change hands at ticks the relay fixes, the same on every machine: a seat taken
// flies by hand from its first tick, a seat handed back flies on its autopilot.
#include <algorithm>
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
    // Seat changes remembered: enough for every tick a rollback can reach.
    static constexpr int kChanges = 8;

    CArena m_arena;
    // The last tick m_arena has run.
    std::uint32_t m_tick = 0;
    // Every held seat's input is known up to this tick.
    std::uint32_t m_confirmed = 0;
    std::uint8_t m_localSeats = 0;
    // The seats held and the host's, as of the newest change.
    std::uint8_t m_heldSeats = 0;
    std::uint8_t m_hostSeats = 0;
    std::uint32_t m_inputDelay = 0;
    // The ticks each batch repeats: fewer over a link that loses nothing (1 to kMaxBatch).
    std::uint32_t m_repeat = kRepeat;
    // The tick the next local input is for.
    std::uint32_t m_localNext = 1;

    int m_deepestRollback = 0;
    long m_rollbacks = 0;
    long m_hashesMatched = 0;
    long m_desyncs = 0;
    std::uint32_t m_firstDesyncTick = 0;
    std::uint32_t m_lastDesyncTick = 0;

    // Starts from the arena as it stands after tick `tick`. Seats are masks: this machine's,
    // every player's at that tick (the rest fly on autopilot with no keys) and the host's.
    void Begin(const CArena& start, std::uint32_t tick, std::uint8_t localSeats, std::uint8_t heldSeats,
               std::uint8_t hostSeats, std::uint32_t inputDelay);

    // The local seats' inputs (indexed by seat) for the next tick they can take, and one tick
    // run; false, taking nothing, while the game waits for remote input.
    bool Frame(const std::uint8_t (&local)[net::kSeats]);
    // A peer's inputs; false with one line of why for input no peer may send.
    bool AddRemoteInput(const net::CInputBatch& batch, std::string& error);
    // The batch to send for a local seat each frame; false when the peers lack nothing of it.
    // A peer that has just taken a seat is sent everything since its first tick first.
    bool MakeBatch(int seat, net::CInputBatch& batch);
    // The newest confirmed hash not yet reported; false when there is none.
    bool TakeHashReport(std::uint32_t& tick, std::uint64_t& hash);
    // A peer's hash of a confirmed tick; false when it differs from ours (a desync).
    bool CheckHash(std::uint32_t tick, std::uint64_t hash);

    // From tick `from` on, these seats are held and these are the host's. A seat handed back
    // plays no keys from `from` on (the ticks it lacks before are empty); a seat taken
    // starts empty at `from`. False when `from` lies before the ticks this game can re-run.
    bool ChangeSeats(std::uint8_t held, std::uint8_t host, std::uint32_t from);
    // The host's arena as it stood after `tick`: the ticks since run again from it.
    void Resync(const CArena& arena, std::uint32_t tick);
    // The state after a tick that is neither older than kStates ticks nor yet to run.
    const CArena& State(std::uint32_t tick) const { return m_states[tick % kStates]; }
    // The newest tick whose state is final: confirmed, and run again since any correction.
    std::uint32_t Final() const { return std::min({m_tick, m_confirmed, m_rollbackFrom - 1}); }
    // A seat's input is known up to this tick, without a gap.
    std::uint32_t Known(int seat) const { return m_known[seat]; }

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
    struct CChange
    {
        std::uint32_t m_from = 0;
        std::uint8_t m_held = 0;
    };
    struct CHash
    {
        std::uint32_t m_tick = 0;
        std::uint64_t m_hash = 0;
    };

    CSlot& Slot(std::uint32_t tick, int seat) { return m_inputs[tick % kInputs][seat]; }
    std::uint8_t HeldAt(std::uint32_t tick) const;
    std::uint8_t InputFor(std::uint32_t tick, int seat);
    void RunTick(std::uint32_t tick);
    void FillBatch(int seat, std::uint32_t first, std::uint32_t count, net::CInputBatch& batch) const;
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
    // The tick each local seat's next batch starts at, while a new peer catches up.
    std::uint32_t m_resendFrom[net::kSeats] = {};
    // The tick from which each seat nobody holds has been free.
    std::uint32_t m_freeFrom[net::kSeats] = {};
    CChange m_changes[kChanges];
    int m_newestChange = 0;
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
