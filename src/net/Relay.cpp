#include "net/Relay.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace net;

namespace {

// The first `wanted` seats that nobody holds, or 0 when there are not that many.
std::uint8_t FreeSeats(std::uint8_t held, int wanted)
{
    std::uint8_t given = 0;
    for (int seat = 0; seat < kSeats && wanted > 0; ++seat) {
        if (!(held >> seat & 1)) {
            given |= std::uint8_t(1 << seat);
            --wanted;
        }
    }
    return wanted == 0 ? given : 0;
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
}

void CRelay::Receive(int connection, std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    const auto found = m_connections.find(connection);
    if (found == m_connections.end())
        return;
    CConnection& c = found->second;
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
    case EMessage::kInput:
    case EMessage::kHashReport:
    case EMessage::kSnapshot: {
        if (!joined)
            return Fail(connection, EError::kBadMessage, "a message before joining a room");
        CMessage forwarded = message;
        return Forward(connection, c, forwarded, nowMs);
    }
    case EMessage::kLeave:
        m_sink.Close(connection, std::string());
        return Leave(connection);
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
        m_rooms[code] = CRoom{0, {-1, -1, -1, -1}, connection, 0, nowMs};
    }
    const auto found = m_rooms.find(code);
    if (found == m_rooms.end())
        return Fail(connection, EError::kNoSuchRoom, "no room " + RoomCode(code));
    CRoom& room = found->second;
    const std::uint8_t seats = FreeSeats(room.m_held, message.m_seatsWanted);
    if (seats == 0)
        return Fail(connection, EError::kRoomFull, "room " + RoomCode(code) + " has not that many seats free");
    room.m_held |= seats;
    *std::find(std::begin(room.m_members), std::end(room.m_members), -1) = connection;
    c.m_room = code;
    c.m_seats = seats;
    c.m_awaitingSnapshot = room.m_host != connection;
    CMessage welcome;
    welcome.m_type = EMessage::kWelcome;
    welcome.m_room = code;
    welcome.m_seats = seats;
    welcome.m_held = room.m_held;
    welcome.m_tick = room.m_tick;
    welcome.m_host = room.m_host == connection;
    SendTo(connection, welcome);
    SendSeats(code, connection);
}

// Input and hash reports only for the sender's own seats; snapshots only from the host, to
// those who joined since the last one.
void CRelay::Forward(int connection, const CConnection& c, CMessage& message, std::int64_t nowMs)
{
    CRoom& room = m_rooms[c.m_room];
    const int seat = message.m_type == EMessage::kInput ? message.m_batch.m_seat : message.m_seats;
    if (message.m_type != EMessage::kSnapshot && !(c.m_seats >> seat & 1))
        return Fail(connection, EError::kNotYourSeat, "a message for seat " + std::to_string(seat + 1) +
                                                          ", which is not this connection's");
    if (message.m_type == EMessage::kSnapshot && room.m_host != connection)
        return Fail(connection, EError::kBadMessage, "a snapshot from a member who is not the host");
    if (message.m_type == EMessage::kInput) {
        message.m_type = EMessage::kRelayedInput;
        message.m_batch.m_stamp = std::uint16_t(nowMs - room.m_openedMs);
        room.m_tick = std::max(room.m_tick, message.m_batch.m_lastTick);
    }
    const std::size_t size = Encode(message, m_buffer, sizeof m_buffer);
    for (const int member : room.m_members) {
        if (member < 0 || member == connection)
            continue;
        CConnection& other = m_connections[member];
        if (message.m_type == EMessage::kSnapshot && !std::exchange(other.m_awaitingSnapshot, false))
            continue;
        m_sink.Send(member, std::span(m_buffer, size));
    }
}

void CRelay::Closed(int connection) { Leave(connection); }

void CRelay::Leave(int connection)
{
    const auto found = m_connections.find(connection);
    if (found == m_connections.end())
        return;
    const std::uint64_t code = found->second.m_room;
    const std::uint8_t seats = found->second.m_seats;
    m_connections.erase(found);
    const auto room = m_rooms.find(code);
    if (room == m_rooms.end())
        return;
    room->second.m_held &= std::uint8_t(~seats);
    std::replace(std::begin(room->second.m_members), std::end(room->second.m_members), connection, -1);
    if (room->second.m_held == 0) {
        m_rooms.erase(room);
        return;
    }
    SendSeats(code, -1);
}

void CRelay::Poll(std::int64_t nowMs)
{
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
    Leave(connection);
}

void CRelay::SendTo(int connection, const CMessage& message)
{
    m_sink.Send(connection, std::span(m_buffer, Encode(message, m_buffer, sizeof m_buffer)));
}

void CRelay::SendSeats(std::uint64_t code, int except)
{
    const CRoom& room = m_rooms[code];
    CMessage seats;
    seats.m_type = EMessage::kSeats;
    seats.m_held = room.m_held;
    seats.m_tick = room.m_tick;
    for (const int member : room.m_members)
        if (member >= 0 && member != except)
            SendTo(member, seats);
}
