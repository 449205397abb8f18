// COnlineClient's part in how machines come and go: the welcome, the host's snapshot that
// starts a newcomer or mends a machine out of step, and seats changing hands.
#include "net/OnlineClient.h"

#include <algorithm>

using namespace net;

namespace {

bool Holds(std::uint8_t seats, int seat) { return (seats >> seat & 1) != 0; }

}  // namespace

void COnlineClient::Welcome(const CMessage& message)
{
    if (m_welcomed)
        return End("the relay welcomed this machine twice", true);
    m_welcomed = true;
    m_welcomedMs = m_nowMs;
    m_room = message.m_room;
    m_givenSeats = message.m_seats;
    m_startTick = message.m_tick;
    m_welcomeHeld = message.m_held;
    m_welcomeHost = message.m_hostSeats;
    if (!m_hosting) {
        m_status = "online: room " + RoomCode(m_room) + ": waiting for the host's game";
        return;
    }
    // Every seat nobody holds flies on its autopilot from the first shared tick.
    for (int seat = 0; seat < kSeats; ++seat)
        m_hostArena.HoldSeat(seat, Holds(m_givenSeats, seat));
    Begin(m_hostArena, m_startTick, m_givenSeats, m_givenSeats);
}

void COnlineClient::Begin(const CArena& arena, std::uint32_t tick, std::uint8_t held, std::uint8_t host)
{
    m_stats.m_inputDelay = CRollbackSession::InputDelayFor(std::max(m_stats.m_roundTripMs, 0));
    m_session.Begin(arena, tick, m_givenSeats, held, host, m_stats.m_inputDelay);
    m_session.m_repeat = kRepeat;
    m_state = EState::kPlaying;
    m_soundedUpTo = tick;
    m_resyncedAt = tick;
    m_desyncsSeen = 0;
    m_snapshotsDueCount = 0;
    std::fill(std::begin(m_remoteNewest), std::end(m_remoteNewest), tick);
    std::fill(std::begin(m_carry), std::end(m_carry), 0);
    Describe();
}

void COnlineClient::TakeSnapshot(const CMessage& message)
{
    const bool joining = m_state == EState::kConnecting;
    if (!m_welcomed || (joining && message.m_tick + 1 != m_startTick))
        return;
    CArena arena;
    std::string error;
    if (!ReadSnapshot(message.m_snapshot, arena, error))
        return End("the host's snapshot: " + error, true);
    if (joining) {
        // The seats given start at the welcome's tick: until then they fly as before.
        Begin(arena, message.m_tick, std::uint8_t(m_welcomeHeld & ~m_givenSeats), m_welcomeHost);
        m_session.ChangeSeats(m_welcomeHeld, m_welcomeHost, m_startTick);
        Describe();
        return ReplayEarly();
    }
    m_session.Resync(arena, message.m_tick);
    m_stats.m_resyncs += 1;
    m_resyncAsked = false;
    m_resyncedAt = std::max(m_resyncedAt, message.m_tick);
    m_soundedUpTo = std::max(m_soundedUpTo, std::min(message.m_tick, m_session.m_tick));
    Describe();
}

void COnlineClient::ReplayEarly()
{
    std::size_t at = 0;
    CMessage message;
    std::string error;
    while (at + 2 <= m_early.size() && m_state == EState::kPlaying) {
        const std::size_t size = m_early[at] | std::size_t(m_early[at + 1]) << 8;
        if (Decode(std::span(m_early).subspan(at + 2, size), message, error))
            Handle(message);
        at += 2 + size;
    }
    m_early.clear();
}

void COnlineClient::SeatsChanged(const CMessage& message)
{
    if (m_state != EState::kPlaying)
        return;
    const std::uint8_t joined = message.m_held & ~m_session.m_heldSeats;
    if (!m_session.ChangeSeats(message.m_held, message.m_hostSeats, message.m_tick))
        return End("a change of seats at tick " + std::to_string(message.m_tick) + ", too late to play", true);
    for (int seat = 0; seat < kSeats; ++seat)
        if (Holds(joined, seat))
            m_remoteNewest[seat] = message.m_tick - 1;
    if (joined != 0 && m_snapshotsDueCount < kSeats)
        m_snapshotsDue[m_snapshotsDueCount++] = message.m_tick - 1;
    Describe();
}

void COnlineClient::SendSnapshot(std::uint32_t tick)
{
    CMessage snapshot;
    snapshot.m_type = EMessage::kSnapshot;
    snapshot.m_tick = tick;
    snapshot.m_snapshot = std::span(m_snapshotBytes, WriteSnapshot(m_session.State(tick), m_snapshotBytes,
                                                                   sizeof m_snapshotBytes));
    Send(snapshot);
}

// A newcomer starts from the state before its first tick, once that state is final. Every
// machine keeps the list while the state can still be had, so that a host who takes over
// sends what the one who left owed (the relay passes on one snapshot a newcomer).
void COnlineClient::SendDueSnapshots()
{
    const std::uint32_t final = m_session.Final();
    for (int i = 0; i < m_snapshotsDueCount;) {
        const std::uint32_t due = m_snapshotsDue[i];
        const bool kept = due + CRollbackSession::kStates > m_session.m_tick + 1;
        if (due > final || (kept && !IsHost())) {
            ++i;
            continue;
        }
        if (kept)
            SendSnapshot(due);
        m_snapshotsDue[i] = m_snapshotsDue[--m_snapshotsDueCount];
    }
}
