#include "net/Relay.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

using namespace net;

namespace {

// The first `wanted` of the seats offered, or 0 when there are not that many.
std::uint8_t FirstSeats(std::uint8_t offered, int wanted)
{
    std::uint8_t given = 0;
    for (int seat = 0; seat < kSeats && wanted > 0; ++seat) {
        if (offered >> seat & 1) {
            given |= std::uint8_t(1 << seat);
            --wanted;
        }
    }
    return wanted == 0 ? given : 0;
}

bool ChangesShipCount(const CInputBatch& batch)
{
    for (int i = 0; i < batch.m_count; ++i)
        if (batch.m_inputs[i] >> kCommandShift >= kCommandMoreShips)
            return true;
    return false;
}

}  // namespace

CRelay::CRelay(CRelaySink& sink, std::function<std::uint64_t()> secureRandom)
    : m_sink(sink), m_secureRandom(std::move(secureRandom))
{
}

void CRelay::Open(int connection, const std::string& address, std::int64_t nowMs)
{
    CConnection& c = m_connections[connection];
    c.m_address = address;
    c.m_lastHeard = nowMs;
    m_nowMs = nowMs;
}

void CRelay::Receive(int connection, std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    const auto found = m_connections.find(connection);
    if (found == m_connections.end())
        return;
    CConnection& c = found->second;
    m_nowMs = nowMs;
    c.m_tokens = std::min(kBurst, c.m_tokens + double(nowMs - c.m_lastHeard) * kMessagesPerSecond / 1000);
    c.m_lastHeard = nowMs;
    if ((c.m_tokens -= 1) < 0) {
        Fail(connection, EError::kTooFast, "more messages than a game sends");
        return;
    }
    CMessage message;
    std::string error;
    if (!Decode(bytes, message, error)) {
        Fail(connection, EError::kBadMessage, error);
        return;
    }
    Handle(connection, c, message, nowMs);
}

void CRelay::Handle(int connection, CConnection& c, const CMessage& message, std::int64_t nowMs)
{
    const bool joined = c.m_room != 0;
    switch (message.m_type) {
    case EMessage::kJoin:
        if (joined)
            return Fail(connection, EError::kBadMessage, "a second join on one connection");
        return Join(connection, c, message, nowMs);
    case EMessage::kPing:
        return SendTo(connection, message);
    case EMessage::kInput:
    case EMessage::kHashReport:
    case EMessage::kSnapshot:
    case EMessage::kResync: {
        if (!joined)
            return Fail(connection, EError::kBadMessage, "a message before joining a room");
        CMessage forwarded = message;
        return Forward(connection, c, forwarded, nowMs);
    }
    case EMessage::kLeave:
        m_sink.Close(connection, std::string());
        return Leave(connection, false);
    case EMessage::kError:
        return Fail(connection, message.m_error, "the peer's error: " + message.m_text);
    default:
        return Fail(connection, EError::kBadMessage, "a message only the relay sends");
    }
}

void CRelay::Join(int connection, CConnection& c, const CMessage& message, std::int64_t nowMs)
{
    CJoins& joins = m_joins[c.m_address];
    if (nowMs - joins.m_windowStart >= kJoinWindowMs)
        joins = CJoins{nowMs, 0};
    if (++joins.m_count > kJoinsPerWindow)
        return Fail(connection, EError::kTooFast, "too many joins from this address");
    std::uint64_t code = message.m_room;
    if (code == 0) {
        do
            code = m_secureRandom() % kRoomLimit;
        while (code == 0 || m_rooms.count(code) != 0);
        m_rooms[code].m_host = connection;
        m_rooms[code].m_openedMs = nowMs;
    }
    const auto found = m_rooms.find(code);
    if (found == m_rooms.end())
        return Fail(connection, EError::kNoSuchRoom, "no room " + RoomCode(code));
    CRoom& room = found->second;
    const std::uint8_t seats = GiveSeats(room, c.m_address, message.m_seatsWanted);
    if (seats == 0)
        return Fail(connection, EError::kRoomFull, "room " + RoomCode(code) + " has not that many seats free");
    const bool opened = room.m_host == connection;
    room.m_held |= seats;
    *std::find(std::begin(room.m_members), std::end(room.m_members), -1) = connection;
    if (!opened)
        room.m_changed = std::max(room.m_tick + kJoinLead, room.m_changed + 1);
    c.m_room = code;
    c.m_seats = seats;
    c.m_awaitingSnapshot = !opened;
    c.m_snapshotTick = room.m_changed - (opened ? 0 : 1);
    CMessage welcome;
    welcome.m_type = EMessage::kWelcome;
    welcome.m_room = code;
    welcome.m_seats = seats;
    welcome.m_held = room.m_held;
    welcome.m_tick = room.m_changed;
    welcome.m_hostSeats = m_connections[room.m_host].m_seats;
    SendTo(connection, welcome);
    SendSeats(room, connection);
}

// A member back from a drop has its own seats again; nobody takes seats kept for another.
std::uint8_t CRelay::GiveSeats(CRoom& room, const std::string& address, int wanted)
{
    std::uint8_t kept = 0;
    std::uint8_t own = 0;
    for (CReserved& reserved : room.m_reserved) {
        if (reserved.m_untilMs <= m_nowMs)
            reserved = CReserved();
        else if (reserved.m_address == address && own == 0)
            own = std::exchange(reserved, CReserved()).m_seats;
        kept |= reserved.m_seats;
    }
    const std::uint8_t free = std::uint8_t(~room.m_held & ~kept & 0xF);
    const std::uint8_t mine = FirstSeats(own, std::min(wanted, std::popcount(own)));
    return std::uint8_t(mine | FirstSeats(free & ~mine, wanted - std::popcount(mine)));
}

// Input and hash reports only for the sender's own seats, a change of the ship count and
// snapshots only from the host; a resync request goes to the host alone.
bool CRelay::Check(int connection, const CConnection& c, const CRoom& room, const CMessage& message)
{
    const bool host = room.m_host == connection;
    const int seat = message.m_type == EMessage::kInput ? message.m_batch.m_seat : message.m_seats;
    const bool seated = message.m_type != EMessage::kInput && message.m_type != EMessage::kHashReport;
    if (!seated && !(c.m_seats >> seat & 1))
        Fail(connection, EError::kNotYourSeat,
             "a message for seat " + std::to_string(seat + 1) + ", which is not this connection's");
    else if (message.m_type == EMessage::kSnapshot && !host)
        Fail(connection, EError::kBadMessage, "a snapshot from a member who is not the host");
    else if (message.m_type == EMessage::kInput && !host && ChangesShipCount(message.m_batch))
        Fail(connection, EError::kBadMessage, "a change of the ship count from a member who is not the host");
    else
        return true;
    return false;
}

void CRelay::Forward(int connection, const CConnection& c, CMessage& message, std::int64_t nowMs)
{
    CRoom& room = m_rooms[c.m_room];
    if (!Check(connection, c, room, message))
        return;
    if (message.m_type == EMessage::kSnapshot)
        return ForwardSnapshot(connection, room, message);
    if (message.m_type == EMessage::kResync) {
        m_connections[connection].m_anySnapshot = room.m_host != connection;
        if (room.m_host != connection)
            SendTo(room.m_host, message);
        return;
    }
    if (message.m_type == EMessage::kInput) {
        message.m_type = EMessage::kRelayedInput;
        message.m_batch.m_stamp = std::uint16_t(nowMs - room.m_openedMs);
        room.m_tick = std::max(room.m_tick, message.m_batch.m_lastTick);
        std::uint32_t& seatTick = room.m_seatTick[message.m_batch.m_seat];
        seatTick = std::max(seatTick, message.m_batch.m_lastTick);
    }
    const std::size_t size = Encode(message, m_buffer, sizeof m_buffer);
    for (const int member : room.m_members)
        if (member >= 0 && member != connection)
            m_sink.Send(member, std::span(m_buffer, size));
}

// To each newcomer the snapshot of the tick before its first, and to each member out of step
// whichever comes next.
void CRelay::ForwardSnapshot(int connection, CRoom& room, const CMessage& message)
{
    const std::size_t size = Encode(message, m_buffer, sizeof m_buffer);
    for (const int member : room.m_members) {
        if (member < 0 || member == connection)
            continue;
        CConnection& other = m_connections[member];
        const bool joining = other.m_awaitingSnapshot && other.m_snapshotTick == message.m_tick;
        if (!joining && !other.m_anySnapshot)
            continue;
        other.m_awaitingSnapshot = other.m_awaitingSnapshot && !joining;
        other.m_anySnapshot = false;
        m_sink.Send(member, std::span(m_buffer, size));
    }
}

void CRelay::Closed(int connection) { Leave(connection, true); }

void CRelay::Leave(int connection, bool dropped)
{
    const auto found = m_connections.find(connection);
    if (found == m_connections.end())
        return;
    const CConnection c = found->second;
    m_connections.erase(found);
    const auto at = m_rooms.find(c.m_room);
    if (at == m_rooms.end())
        return;
    CRoom& room = at->second;
    room.m_held &= std::uint8_t(~c.m_seats);
    auto* const end = std::remove(std::begin(room.m_members), std::end(room.m_members), connection);
    std::fill(end, std::end(room.m_members), -1);
    if (room.m_held == 0) {
        m_rooms.erase(at);
        return;
    }
    if (room.m_host == connection)
        room.m_host = room.m_members[0];
    std::uint32_t last = 0;
    for (int seat = 0; seat < kSeats; ++seat)
        if (c.m_seats >> seat & 1)
            last = std::max(last, room.m_seatTick[seat]);
    room.m_changed = std::max(last + 1, room.m_changed + 1);
    for (CReserved& reserved : room.m_reserved) {
        if (dropped && (reserved.m_seats == 0 || reserved.m_untilMs <= m_nowMs)) {
            reserved = CReserved{c.m_address, c.m_seats, m_nowMs + kRejoinMs};
            break;
        }
    }
    SendSeats(room, -1);
}

void CRelay::Poll(std::int64_t nowMs)
{
    m_nowMs = nowMs;
    std::vector<int> silent;
    for (const auto& [connection, c] : m_connections)
        if (nowMs - c.m_lastHeard >= kSilenceMs)
            silent.push_back(connection);
    for (const int connection : silent)
        Fail(connection, EError::kTimedOut, "nothing heard for " + std::to_string(kSilenceMs / 1000) + " s");
    std::erase_if(m_joins, [nowMs](const auto& joins) { return nowMs - joins.second.m_windowStart >= kJoinWindowMs; });
}

void CRelay::Fail(int connection, EError code, const std::string& why)
{
    CMessage error;
    error.m_type = EMessage::kError;
    error.m_error = code;
    error.m_text = why.substr(0, kMaxErrorText);
    SendTo(connection, error);
    m_sink.Close(connection, why);
    Leave(connection, code == EError::kTimedOut);
}

void CRelay::SendTo(int connection, const CMessage& message)
{
    m_sink.Send(connection, std::span(m_buffer, Encode(message, m_buffer, sizeof m_buffer)));
}

void CRelay::SendSeats(const CRoom& room, int except)
{
    CMessage seats;
    seats.m_type = EMessage::kSeats;
    seats.m_held = room.m_held;
    seats.m_hostSeats = m_connections[room.m_host].m_seats;
    seats.m_tick = room.m_changed;
    for (const int member : room.m_members)
        if (member >= 0 && member != except)
            SendTo(member, seats);
}
