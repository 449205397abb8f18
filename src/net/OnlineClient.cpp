#include "net/OnlineClient.h"

#include <algorithm>
#include <bit>
#include <ctime>
#include <utility>

using namespace net;

namespace {

constexpr std::int64_t kTickMs = 25;
// Room for what comes between a welcome and the host's snapshot: a second of four seats.
constexpr std::size_t kEarlyBytes = 1 << 16;
// A machine this many ticks ahead of the slowest other skips every kSkipEvery-th frame.
constexpr std::uint32_t kAheadTicks = 1;
constexpr long kSkipEvery = 4;

bool Holds(std::uint8_t seats, int seat) { return (seats >> seat & 1) != 0; }

std::string SeatList(std::uint8_t seats)
{
    std::string list;
    for (int seat = 0; seat < kSeats; ++seat)
        if (Holds(seats, seat))
            list += (list.empty() ? "" : ", ") + std::to_string(seat + 1);
    return list;
}

}  // namespace

COnlineClient::COnlineClient(CNetLink& link) : m_link(link) {}

void COnlineClient::Host(const CArena& arena, int seats)
{
    m_hostArena = arena;
    // A shared game counts its calendar seconds with its ticks, the same on every machine.
    if (!m_hostArena.m_clock.m_counted)
        m_hostArena.m_clock = CSessionClock{true, std::int32_t(std::time(nullptr)), 0};
    m_hosting = true;
    Start(0, seats);
}

void COnlineClient::Join(std::uint64_t room, int seats)
{
    m_hosting = false;
    Start(room, seats);
}

void COnlineClient::Start(std::uint64_t room, int seats)
{
    m_room = room;
    m_seatsWanted = std::clamp(seats, 1, kSeats);
    m_state = EState::kConnecting;
    m_welcomed = false;
    m_joinSent = false;
    m_early.clear();
    m_early.reserve(kEarlyBytes);
    m_status = "online: connecting to the relay";
    if (m_linkOpen)
        SendJoin();
}

void COnlineClient::SendJoin()
{
    m_joinSent = true;
    m_lastHeardMs = m_nowMs;
    // The answer to the ping comes before the welcome: the input delay is known in time.
    Ping();
    CMessage join;
    join.m_type = EMessage::kJoin;
    join.m_room = m_room;
    join.m_seatsWanted = std::uint8_t(m_seatsWanted);
    Send(join);
}

void COnlineClient::Leave()
{
    if (m_state == EState::kEnded || m_state == EState::kIdle)
        return;
    if (m_linkOpen) {
        CMessage leave;
        leave.m_type = EMessage::kLeave;
        Send(leave);
    }
    End(std::string(), true);
}

void COnlineClient::LinkOpened()
{
    m_linkOpen = true;
    if (m_state == EState::kConnecting && !m_joinSent)
        SendJoin();
}

void COnlineClient::LinkClosed(const std::string& why)
{
    m_linkOpen = false;
    End(why.empty() ? "the relay closed the connection" : "the relay is gone: " + why, false);
}

void COnlineClient::LinkReceived(std::span<const std::uint8_t> bytes)
{
    m_stats.m_bytesReceived += long(bytes.size());
    m_lastHeardMs = m_nowMs;
    if (m_state != EState::kConnecting && m_state != EState::kPlaying)
        return;
    CMessage message;
    std::string error;
    if (!Decode(bytes, message, error))
        return End("the relay sent " + error, true);
    const bool early = m_state == EState::kConnecting && m_welcomed && message.m_type != EMessage::kSnapshot &&
                       message.m_type != EMessage::kError && message.m_type != EMessage::kPing;
    if (!early)
        return Handle(message);
    if (m_early.size() + 2 + bytes.size() > kEarlyBytes)
        return End("the host's snapshot did not come", true);
    m_early.push_back(std::uint8_t(bytes.size()));
    m_early.push_back(std::uint8_t(bytes.size() >> 8));
    m_early.insert(m_early.end(), bytes.begin(), bytes.end());
}

void COnlineClient::Handle(const CMessage& message)
{
    switch (message.m_type) {
    case EMessage::kWelcome: return Welcome(message);
    case EMessage::kRelayedInput: return RemoteInput(message.m_batch);
    case EMessage::kHashReport: m_session.CheckHash(message.m_tick, message.m_hash); return;
    case EMessage::kSnapshot: return TakeSnapshot(message);
    case EMessage::kSeats: return SeatsChanged(message);
    case EMessage::kPing:
        m_stats.m_roundTripMs = int((std::uint32_t(m_nowMs % kMaxTick) - message.m_tick) % kMaxTick);
        // Forgets slowly: a route that grows longer is taken within a minute.
        m_quickestTrip = std::min(m_quickestTrip == INT32_MAX ? INT32_MAX : m_quickestTrip + 1, m_stats.m_roundTripMs);
        return;
    case EMessage::kResync:
        if (IsHost())
            SendSnapshot(m_session.Final());
        return;
    case EMessage::kError: return End("the relay refused: " + message.m_text, true);
    default: return End("the relay sent a message only players send", true);
    }
}

void COnlineClient::RemoteInput(const CInputBatch& batch)
{
    if (m_state != EState::kPlaying)
        return;
    std::string error;
    if (!m_session.AddRemoteInput(batch, error)) {
        m_status = "online: ignored " + error;
        return;
    }
    m_remoteNewest[batch.m_seat] = std::max(m_remoteNewest[batch.m_seat], batch.m_lastTick);
}

bool COnlineClient::Frame(const std::uint8_t (&local)[kSeats], std::int64_t nowMs)
{
    m_nowMs = nowMs;
    if (m_state != EState::kConnecting && m_state != EState::kPlaying)
        return false;
    if (m_joinSent && nowMs - m_lastHeardMs >= kSilenceMs) {
        End("the relay has not answered for " + std::to_string(kSilenceMs / 1000) + " s", true);
        return false;
    }
    if (m_welcomed && m_state == EState::kConnecting && nowMs - m_welcomedMs >= kSilenceMs) {
        End("the host's game did not come within " + std::to_string(kSilenceMs / 1000) + " s", true);
        return false;
    }
    if (m_joinSent && nowMs >= m_nextPingMs)
        Ping();
    if (m_state != EState::kPlaying)
        return false;
    SendDueSnapshots();
    std::uint8_t bySeat[kSeats] = {};
    bool commands = false;
    for (int seat = 0, player = 0; seat < kSeats; ++seat) {
        if (!Holds(m_session.m_localSeats, seat))
            continue;
        std::uint8_t byte = local[player++];
        // Only the host changes the ship count.
        if (byte >> kCommandShift >= kCommandMoreShips && !IsHost())
            byte &= kSeatKeyMask;
        if (byte >> kCommandShift == kCommandNone)
            byte |= m_carry[seat];
        bySeat[seat] = byte;
        commands = commands || byte >> kCommandShift != kCommandNone;
    }
    ++m_frames;
    const bool skip = Ahead() && !commands && m_frames % kSkipEvery == 0;
    m_stats.m_skippedFrames += skip ? 1 : 0;
    const bool advanced = !skip && m_session.Frame(bySeat);
    for (int seat = 0; seat < kSeats; ++seat)
        m_carry[seat] = advanced ? 0 : std::uint8_t(bySeat[seat] & ~kSeatKeyMask);
    SendInputs();
    CheckDesync();
    m_stats.m_deepestRollback = m_session.m_deepestRollback;
    return advanced;
}

void COnlineClient::SendInputs()
{
    CMessage message;
    message.m_type = EMessage::kInput;
    for (int seat = 0; seat < kSeats; ++seat)
        if (m_session.MakeBatch(seat, message.m_batch))
            Send(message);
    message.m_type = EMessage::kHashReport;
    message.m_seats = std::uint8_t(std::countr_zero(m_session.m_localSeats));
    if (m_session.TakeHashReport(message.m_tick, message.m_hash))
        Send(message);
}

// A machine out of step takes the host's state; the host's own is the reference.
void COnlineClient::CheckDesync()
{
    if (m_session.m_desyncs == m_desyncsSeen)
        return;
    m_desyncsSeen = m_session.m_desyncs;
    m_stats.m_desyncs = m_session.m_desyncs;
    if (IsHost() || m_resyncAsked || m_session.m_lastDesyncTick <= m_resyncedAt)
        return;
    m_status = "online: out of step at tick " + std::to_string(m_session.m_lastDesyncTick) +
               "; taking the host's game";
    m_resyncAsked = true;
    CMessage resync;
    resync.m_type = EMessage::kResync;
    Send(resync);
}

// Holds back when this machine's inputs run ahead of the slowest other's, as they should
// stand after their way here: the least lead of the last second or two, since jitter, losses
// and stalls only ever make the others look further behind than they are.
bool COnlineClient::Ahead()
{
    const std::int64_t travel = m_quickestTrip == INT32_MAX ? 0 : m_quickestTrip / kTickMs;
    std::int64_t slowest = INT64_MAX;
    for (int seat = 0; seat < kSeats; ++seat)
        if (Holds(m_session.m_heldSeats, seat) && !Holds(m_session.m_localSeats, seat))
            slowest = std::min(slowest, std::int64_t(m_remoteNewest[seat]) + travel);
    if (slowest == INT64_MAX)
        return false;
    if (m_frames % CSessionClock::kTicksPerSecond == 0)
        m_leadBefore = std::exchange(m_leadNow, INT32_MAX);
    m_leadNow = std::min<std::int64_t>(m_leadNow, std::int64_t(m_session.m_localNext - 1) - slowest);
    return std::min(m_leadNow, m_leadBefore) > int(kAheadTicks);
}

void COnlineClient::Ping()
{
    m_nextPingMs = m_nowMs + kPingEveryMs;
    CMessage ping;
    ping.m_type = EMessage::kPing;
    ping.m_tick = std::uint32_t(m_nowMs % kMaxTick);
    Send(ping);
}

void COnlineClient::Send(const CMessage& message)
{
    const std::size_t size = Encode(message, m_buffer, sizeof m_buffer);
    m_stats.m_bytesSent += long(size);
    m_link.Send(std::span(m_buffer, size));
}

void COnlineClient::End(const std::string& why, bool closeLink)
{
    if (m_state == EState::kEnded)
        return;
    m_state = EState::kEnded;
    m_status = why.empty() ? "online: left room " + RoomCode(m_room) : "online game over: " + why;
    // A link still connecting is closed too: nothing is left waiting on it.
    if (closeLink) {
        m_linkOpen = false;
        m_link.Close();
    }
}

void COnlineClient::Describe()
{
    const int players = std::popcount(m_session.m_heldSeats);
    m_status = "online: room " + RoomCode(m_room) + ", seat" + (std::popcount(m_session.m_localSeats) > 1 ? "s " : " ") +
               SeatList(m_session.m_localSeats) + ", " + std::to_string(players) + " player" +
               (players > 1 ? "s" : "") + (IsHost() ? ", hosting" : "");
}

std::uint32_t COnlineClient::ConfirmedTick() const { return m_session.Final(); }

bool COnlineClient::NextConfirmed(const CArena*& before, const CArena*& after)
{
    const std::uint32_t confirmed = ConfirmedTick();
    if (m_state != EState::kPlaying || m_soundedUpTo >= confirmed)
        return false;
    // Ticks the ring no longer holds are skipped rather than heard late.
    m_soundedUpTo = std::max(m_soundedUpTo, confirmed + 1 - std::min(confirmed + 1, CRollbackSession::kStates - 1));
    before = &m_session.State(m_soundedUpTo);
    after = &m_session.State(++m_soundedUpTo);
    return true;
}
