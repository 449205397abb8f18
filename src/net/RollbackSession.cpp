#include "net/RollbackSession.h"

#include <algorithm>
#include <cstdio>

using namespace net;

namespace {

constexpr std::uint8_t kSwitchPause = 'P';
constexpr std::uint8_t kSwitchMoreShips = 0x21;   // Page Up
constexpr std::uint8_t kSwitchFewerShips = 0x22;  // Page Down
constexpr std::uint8_t kSwitchFirstAutopilot = 0x70;  // F1; the sentry's is F4

bool Holds(std::uint8_t seats, int seat) { return (seats >> seat & 1) != 0; }

}  // namespace

void CRollbackSession::Begin(const CArena& start, std::uint32_t tick, std::uint8_t localSeats, std::uint8_t heldSeats,
                             std::uint8_t hostSeats, std::uint32_t inputDelay)
{
    m_arena.Restore(start);
    g_calendarClock = SessionCalendarSeconds;
    m_tick = tick;
    m_localSeats = localSeats;
    m_heldSeats = heldSeats;
    m_hostSeats = hostSeats;
    std::fill(std::begin(m_changes), std::end(m_changes), CChange{tick, heldSeats});
    m_newestChange = 0;
    m_inputDelay = std::min<std::uint32_t>(inputDelay, 2);
    m_localNext = tick + 1 + m_inputDelay;
    for (auto& row : m_inputs)
        std::fill(std::begin(row), std::end(row), CSlot());
    for (int seat = 0; seat < kSeats; ++seat) {
        m_known[seat] = Holds(localSeats, seat) ? m_localNext - 1 : tick;
        m_peerConfirmed[seat] = tick;
        m_resendFrom[seat] = UINT32_MAX;
        m_freeFrom[seat] = 0;
        for (std::uint32_t t = tick + 1; t < m_localNext && Holds(localSeats, seat); ++t)
            Slot(t, seat) = CSlot{t, true, 0, 0};
    }
    m_states[tick % kStates] = m_arena;
    m_rollbackFrom = UINT32_MAX;
    m_hashedUpTo = tick;
    std::fill(std::begin(m_mine), std::end(m_mine), CHash());
    std::fill(std::begin(m_theirs), std::end(m_theirs), CHash());
    m_reportDue = false;
    m_waiting = false;
    m_deepestRollback = 0;
    m_rollbacks = 0;
    m_hashesMatched = 0;
    m_desyncs = 0;
    UpdateConfirmed();
}

bool CRollbackSession::Frame(const std::uint8_t (&local)[kSeats])
{
    m_waiting = m_tick >= m_confirmed + kMaxPrediction;
    if (m_waiting)
        return false;
    for (int seat = 0; seat < kSeats; ++seat) {
        if (Holds(m_localSeats, seat)) {
            Slot(m_localNext, seat) = CSlot{m_localNext, true, local[seat], 0};
            m_known[seat] = m_localNext;
        }
    }
    m_localNext += 1;
    UpdateConfirmed();
    // Other sessions in this process may have moved the one generator.
    g_randomGenerator = m_arena.m_random;
    RollBack();
    RunTick(m_tick + 1);
    HashConfirmed();
    return true;
}

bool CRollbackSession::AddRemoteInput(const CInputBatch& batch, std::string& error)
{
    const int seat = batch.m_seat;
    if (seat >= kSeats || Holds(m_localSeats, seat) || !Holds(m_heldSeats, seat)) {
        error = "input for seat " + std::to_string(seat + 1) + ", which is not the sender's";
        return false;
    }
    const std::uint32_t base = std::min(m_tick, m_confirmed);
    for (int i = 0; i < batch.m_count; ++i) {
        const std::uint32_t t = batch.FirstTick() + std::uint32_t(i);
        const std::uint8_t command = batch.m_inputs[i] >> kCommandShift;
        if (command >= kCommandMoreShips && !Holds(m_hostSeats, seat)) {
            error = "a change of the ship count from seat " + std::to_string(seat + 1) + ", not the host's";
            return false;
        }
        if (t > base + kInputs - 1) {
            error = "input for tick " + std::to_string(t) + ", beyond the ticks this game holds";
            return false;
        }
        if (t > m_known[seat])
            Store(t, seat, batch.m_inputs[i]);
    }
    m_peerConfirmed[seat] = std::max(m_peerConfirmed[seat], batch.m_confirmed);
    UpdateConfirmed();
    return true;
}

void CRollbackSession::Store(std::uint32_t tick, int seat, std::uint8_t input)
{
    CSlot& slot = Slot(tick, seat);
    if (slot.m_tick == tick && slot.m_known)
        return;
    const bool ran = slot.m_tick == tick && tick <= m_tick;
    if (ran && slot.m_used != input)
        m_rollbackFrom = std::min(m_rollbackFrom, tick);
    if (!ran)
        slot = CSlot{tick, false, 0, 0};
    slot.m_known = true;
    slot.m_input = input;
    while (Slot(m_known[seat] + 1, seat).m_tick == m_known[seat] + 1 && Slot(m_known[seat] + 1, seat).m_known)
        m_known[seat] += 1;
}

void CRollbackSession::UpdateConfirmed()
{
    std::uint32_t confirmed = UINT32_MAX;
    for (int seat = 0; seat < kSeats; ++seat)
        if (Holds(m_heldSeats, seat) || m_known[seat] + 1 < m_freeFrom[seat])
            confirmed = std::min(confirmed, m_known[seat]);
    m_confirmed = confirmed == UINT32_MAX ? m_localNext - 1 : confirmed;
}

// A seat nobody holds has no keys; a held seat's unknown input repeats its last keys.
std::uint8_t CRollbackSession::InputFor(std::uint32_t tick, int seat)
{
    if (!Holds(HeldAt(tick), seat))
        return 0;
    CSlot& slot = Slot(tick, seat);
    if (slot.m_tick != tick)
        slot = CSlot{tick, false, 0, 0};
    if (!slot.m_known) {
        const CSlot& last = Slot(m_known[seat], seat);
        slot.m_input = last.m_tick == m_known[seat] && last.m_known ? last.m_input & kSeatKeyMask : 0;
    }
    slot.m_used = slot.m_input;
    return slot.m_input;
}

void CRollbackSession::RunTick(std::uint32_t tick)
{
    const std::uint8_t held = HeldAt(tick);
    const std::uint8_t changed = held ^ HeldAt(tick - 1);
    for (int seat = 0; seat < kSeats; ++seat)
        if (Holds(changed, seat))
            m_arena.HoldSeat(seat, Holds(held, seat));
    CTickInput input;
    for (int seat = 0; seat < kSeats; ++seat) {
        const std::uint8_t byte = InputFor(tick, seat);
        input.m_seats[seat] = byte & kSeatKeyMask;
        switch (byte >> kCommandShift) {
        case kCommandAutopilot: input.AddSwitch(std::uint8_t(kSwitchFirstAutopilot + seat)); break;
        case kCommandPause: input.AddSwitch(kSwitchPause); break;
        case kCommandMoreShips: input.AddSwitch(kSwitchMoreShips); break;
        case kCommandFewerShips: input.AddSwitch(kSwitchFewerShips); break;
        default: break;
        }
    }
    m_arena.Step(input);
    m_tick = tick;
    m_states[tick % kStates] = m_arena;
}

void CRollbackSession::RollBack()
{
    if (m_rollbackFrom > m_tick) {
        m_rollbackFrom = UINT32_MAX;
        return;
    }
    const std::uint32_t last = m_tick;
    const int depth = int(last - m_rollbackFrom + 1);
    m_arena.Restore(m_states[(m_rollbackFrom - 1) % kStates]);
    for (std::uint32_t t = m_rollbackFrom; t <= last; ++t)
        RunTick(t);
    m_rollbackFrom = UINT32_MAX;
    m_rollbacks += 1;
    m_deepestRollback = std::max(m_deepestRollback, depth);
}

// The states of confirmed ticks ran on known input only: their hashes are final.
void CRollbackSession::HashConfirmed()
{
    const std::uint32_t final = std::min(m_tick, m_confirmed);
    for (std::uint32_t t = (m_hashedUpTo / kHashEvery + 1) * kHashEvery; t <= final; t += kHashEvery) {
        CHash& mine = m_mine[t / kHashEvery % kHashes];
        mine = CHash{t, m_states[t % kStates].Hash()};
        m_reportDue = true;
        for (const CHash& theirs : m_theirs)
            Compare(mine, theirs);
    }
    m_hashedUpTo = std::max(m_hashedUpTo, final);
}

bool CRollbackSession::TakeHashReport(std::uint32_t& tick, std::uint64_t& hash)
{
    if (!m_reportDue)
        return false;
    m_reportDue = false;
    const CHash& newest = m_mine[m_hashedUpTo / kHashEvery % kHashes];
    tick = newest.m_tick;
    hash = newest.m_hash;
    return true;
}

bool CRollbackSession::CheckHash(std::uint32_t tick, std::uint64_t hash)
{
    const CHash theirs{tick, hash};
    if (tick <= m_hashedUpTo)
        return Compare(m_mine[tick / kHashEvery % kHashes], theirs);
    m_theirs[m_theirNext] = theirs;
    m_theirNext = (m_theirNext + 1) % kHashes;
    return true;
}

bool CRollbackSession::Compare(const CHash& mine, const CHash& theirs)
{
    if (mine.m_tick != theirs.m_tick || theirs.m_tick == 0)
        return true;
    if (mine.m_hash == theirs.m_hash) {
        m_hashesMatched += 1;
        return true;
    }
    if (m_desyncs++ == 0)
        m_firstDesyncTick = mine.m_tick;
    m_lastDesyncTick = mine.m_tick;
    return false;
}

// Normally the last few ticks; while the game waits, from the oldest tick a peer lacks, so
// that input lost on the way is sent again and nobody waits for ever.
bool CRollbackSession::MakeBatch(int seat, CInputBatch& batch)
{
    const std::uint32_t last = m_localNext - 1;
    if (Holds(m_localSeats, seat) && m_resendFrom[seat] <= last) {
        if (last - m_resendFrom[seat] >= m_repeat) {
            const std::uint32_t count = std::min<std::uint32_t>(last - m_resendFrom[seat] + 1, kMaxBatch);
            FillBatch(seat, m_resendFrom[seat], count, batch);
            m_resendFrom[seat] += count;
            return true;
        }
        m_resendFrom[seat] = UINT32_MAX;
    }
    std::uint32_t lacked = last;
    bool peers = false;
    for (int peer = 0; peer < kSeats; ++peer) {
        if (Holds(m_heldSeats, peer) && !Holds(m_localSeats, peer)) {
            lacked = std::min(lacked, m_peerConfirmed[peer]);
            peers = true;
        }
    }
    // Alone, the newest input still goes out: the relay learns how far this game has run.
    if (!peers && last > 0)
        lacked = last - 1;
    if (!Holds(m_localSeats, seat) || lacked >= last)
        return false;
    const std::uint32_t first = m_waiting ? lacked + 1 : std::max(lacked + 1, last - std::min(last, m_repeat) + 1);
    FillBatch(seat, first, std::min<std::uint32_t>(last - first + 1, kMaxBatch), batch);
    return true;
}

void CRollbackSession::FillBatch(int seat, std::uint32_t first, std::uint32_t count, CInputBatch& batch) const
{
    batch = CInputBatch();
    batch.m_seat = std::uint8_t(seat);
    batch.m_confirmed = m_confirmed;
    batch.m_lastTick = first + count - 1;
    batch.m_count = std::uint8_t(count);
    for (std::uint32_t i = 0; i < count; ++i)
        batch.m_inputs[i] = m_inputs[(first + i) % kInputs][seat].m_input;
}

std::uint8_t CRollbackSession::HeldAt(std::uint32_t tick) const
{
    for (int i = 0; i < kChanges; ++i) {
        const CChange& change = m_changes[(m_newestChange + kChanges - i) % kChanges];
        if (change.m_from <= tick)
            return change.m_held;
    }
    return m_changes[(m_newestChange + 1) % kChanges].m_held;
}

bool CRollbackSession::ChangeSeats(std::uint8_t held, std::uint8_t host, std::uint32_t from)
{
    const std::uint32_t base = std::min(m_tick, m_confirmed);
    if (from <= m_changes[m_newestChange].m_from || from > base + kInputs - 1)
        return false;
    for (int seat = 0; seat < kSeats; ++seat) {
        const bool was = Holds(m_heldSeats, seat);
        if (was && !Holds(held, seat)) {
            for (std::uint32_t t = m_known[seat] + 1; t < from; ++t)
                Store(t, seat, 0);
            m_freeFrom[seat] = from;
        } else if (!was && Holds(held, seat)) {
            m_known[seat] = std::max(m_known[seat], from - 1);
            m_peerConfirmed[seat] = from - 1;
            for (int mine = 0; mine < kSeats; ++mine)
                if (Holds(m_localSeats, mine))
                    m_resendFrom[mine] = std::min(m_resendFrom[mine], from);
        }
    }
    m_newestChange = (m_newestChange + 1) % kChanges;
    m_changes[m_newestChange] = CChange{from, held};
    m_heldSeats = held;
    m_hostSeats = host;
    const bool reachable = from + kStates > m_tick + 1;
    if (from <= m_tick && reachable)
        m_rollbackFrom = std::min(m_rollbackFrom, from);
    UpdateConfirmed();
    return reachable;
}

void CRollbackSession::Resync(const CArena& arena, std::uint32_t tick)
{
    m_states[tick % kStates] = arena;
    if (tick < m_tick && tick + kStates > m_tick + 1) {
        m_rollbackFrom = std::min(m_rollbackFrom, tick + 1);
        m_hashedUpTo = std::min(m_hashedUpTo, tick);
        return;
    }
    // Beyond the ticks this game can re-run: it starts again from the host's.
    m_arena.Restore(arena);
    m_tick = tick;
    m_rollbackFrom = UINT32_MAX;
    m_hashedUpTo = tick;
    if (m_localNext <= tick) {
        for (int seat = 0; seat < kSeats; ++seat)
            if (Holds(m_localSeats, seat))
                m_known[seat] = std::max(m_known[seat], tick);
        m_localNext = tick + 1;
    }
    UpdateConfirmed();
}

std::uint32_t CRollbackSession::InputDelayFor(int roundTripMs)
{
    return std::uint32_t(std::clamp(roundTripMs / 75, 0, 2));
}
