#pragma once
// CRelay: the rooms of online sessions, with no sockets. It orders nothing and simulates
// nothing: it gives seats, forwards each member's inputs and hash reports to the others of
// its room with a stamp of its own clock, hands the host's snapshot to those who joined
// since, and tells everyone when seats change and from which tick. Each connection is checked: its messages
// decode, its seats are its own, it sends no faster than a game does and is never silent
// for long. A fault closes that connection alone, with an error that says why.
//
// Seats change at ticks the relay fixes, each later than the one before, so that every
// machine applies the same changes at the same ticks: a member's seats are handed back after
// the last tick the relay forwarded for them, and a newcomer's seats start a few ticks
// past the newest input, from the host's snapshot of the tick before. The host is the
// member who opened the room, then the earliest to join of those who remain. A member whose
// connection drops (without a leave) has its seats kept for kRejoinMs for a join to the
// same room from the same address; the autopilot flies them meanwhile.
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>

#include "net/Protocol.h"

// Where the relay's messages go: the transport.
class CRelaySink
{
public:
    virtual void Send(int connection, std::span<const std::uint8_t> bytes) = 0;
    // Ends a connection after its last message: for a fault, why (empty after a leave).
    virtual void Close(int connection, const std::string& why) = 0;

protected:
    ~CRelaySink() = default;
};

class CRelay
{
public:
    // A connection that sends nothing this long (a game sends every tick) is closed.
    static constexpr std::int64_t kSilenceMs = 10'000;
    // Messages a second, and the burst a connection may save up.
    static constexpr double kMessagesPerSecond = 250;
    static constexpr double kBurst = 500;
    // Joins from one address within a window: enough for friends, too few to guess codes.
    static constexpr int kJoinsPerWindow = 10;
    static constexpr std::int64_t kJoinWindowMs = 10'000;
    static constexpr std::int64_t kRejoinMs = 60'000;
    // A newcomer's seats start this many ticks (a second) past the newest input: time for the
    // others to hear of it before they confirm that tick.
    static constexpr std::uint32_t kJoinLead = 40;

    CRelay(CRelaySink& sink, std::function<std::uint64_t()> secureRandom);

    void Open(int connection, const std::string& address, std::int64_t nowMs);
    void Receive(int connection, std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // The transport's connection has gone (closed by the peer or by Close).
    void Closed(int connection);
    // Closes the connections that have been silent too long.
    void Poll(std::int64_t nowMs);
    // Closes a connection for a fault the transport found, with an error that says why.
    void Refuse(int connection, const std::string& why) { Fail(connection, net::EError::kBadMessage, why); }

    std::size_t RoomCount() const { return m_rooms.size(); }

private:
    struct CConnection
    {
        std::string m_address;
        std::uint64_t m_room = 0;
        std::uint8_t m_seats = 0;
        // A snapshot is owed to this member: of this tick, or of any tick for a resync.
        bool m_awaitingSnapshot = false;
        bool m_anySnapshot = false;
        std::uint32_t m_snapshotTick = 0;
        std::int64_t m_lastHeard = 0;
        double m_tokens = kBurst;
    };
    struct CReserved
    {
        std::string m_address;
        std::uint8_t m_seats = 0;
        std::int64_t m_untilMs = 0;
    };
    struct CRoom
    {
        std::uint8_t m_held = 0;
        // Each member holds a seat at least: at most four, in the order they joined.
        int m_members[net::kSeats] = {-1, -1, -1, -1};
        int m_host = -1;
        // The newest tick forwarded, in all and for each seat.
        std::uint32_t m_tick = 0;
        std::uint32_t m_seatTick[net::kSeats] = {};
        // The tick of the last change of seats.
        std::uint32_t m_changed = 0;
        std::int64_t m_openedMs = 0;
        CReserved m_reserved[net::kSeats];
    };
    struct CJoins
    {
        std::int64_t m_windowStart = 0;
        int m_count = 0;
    };

    void Handle(int connection, CConnection& c, const net::CMessage& message, std::int64_t nowMs);
    void Join(int connection, CConnection& c, const net::CMessage& message, std::int64_t nowMs);
    void Forward(int connection, const CConnection& c, net::CMessage& message, std::int64_t nowMs);
    void Leave(int connection, bool dropped);
    std::uint8_t GiveSeats(CRoom& room, const std::string& address, int wanted);
    bool Check(int connection, const CConnection& c, const CRoom& room, const net::CMessage& message);
    void ForwardSnapshot(int connection, CRoom& room, const net::CMessage& message);
    void Fail(int connection, net::EError code, const std::string& why);
    void SendTo(int connection, const net::CMessage& message);
    void SendSeats(const CRoom& room, int except);

    CRelaySink& m_sink;
    // The time of the last call that told it: a transport's close comes without one.
    std::int64_t m_nowMs = 0;
    std::function<std::uint64_t()> m_secureRandom;
    std::map<int, CConnection> m_connections;
    std::map<std::uint64_t, CRoom> m_rooms;
    std::map<std::string, CJoins> m_joins;
    std::uint8_t m_buffer[net::kMaxMessage] = {};
};
