// The relay's rooms without sockets: seats given in order, input forwarded with a stamp to
// the others of the room only, a snapshot to those who joined since, and every fault closing
// the one connection with an error that says why.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "arena/TickInput.h"
#include "net/Relay.h"

using namespace net;

namespace {

class Relay : public ::testing::Test, public CRelaySink
{
protected:
    void Send(int connection, std::span<const std::uint8_t> bytes) override
    {
        CMessage message;
        std::string error;
        ASSERT_TRUE(Decode(bytes, message, error)) << error;
        message.m_snapshot = {};  // the relay's buffer is reused
        m_received[connection].push_back(message);
    }
    void Close(int connection, const std::string&) override { m_closed.insert(connection); }

    void Receive(int connection, const CMessage& message, std::int64_t nowMs = 0)
    {
        std::uint8_t bytes[kMaxMessage];
        m_relay.Receive(connection, std::span(bytes, Encode(message, bytes, sizeof bytes)), nowMs);
    }
    static CMessage Message(EMessage type, int seat = 0, std::uint64_t room = 0)
    {
        CMessage message;
        message.m_type = type;
        message.m_room = room;
        message.m_seatsWanted = std::uint8_t(seat);
        message.m_batch = CInputBatch{std::uint8_t(seat), 0, 30, 1, {kSeatFire}, 0};
        return message;
    }
    const CMessage& Last(int connection) { return m_received[connection].back(); }

    std::map<int, std::vector<CMessage>> m_received;
    std::set<int> m_closed;
    // 0 is no room, the rest is cut to 50 bits, and a code in use is drawn again.
    std::vector<std::uint64_t> m_codes = {0, kRoomLimit + 5, 5, 6};
    CRelay m_relay{*this, [this] {
                       const std::uint64_t code = m_codes.front();
                       m_codes.erase(m_codes.begin());
                       return code;
                   }};
};

}  // namespace

TEST_F(Relay, GivesSeatsInOrderAndForwardsToTheOthersOfTheRoom)
{
    for (int connection = 1; connection <= 5; ++connection)
        m_relay.Open(connection, "192.0.2.1", 0);
    Receive(1, Message(EMessage::kJoin, 2), 100);
    Receive(2, Message(EMessage::kJoin, 1, 5), 200);
    Receive(3, Message(EMessage::kJoin, 1), 300);  // a room of its own: 6
    EXPECT_EQ(m_received[1].front().m_room, 5u);
    EXPECT_EQ(m_received[1].front().m_seats, 0b0011);
    EXPECT_EQ(m_received[1].front().m_hostSeats, 0b0011);
    EXPECT_EQ(Last(2).m_seats, 0b0100);
    EXPECT_EQ(Last(2).m_held, 0b0111);
    EXPECT_EQ(Last(1).m_held, 0b0111);  // told of the newcomer
    EXPECT_EQ(Last(3).m_room, 6u);
    Receive(4, Message(EMessage::kJoin, 2, 5));
    EXPECT_EQ(Last(4).m_text, "room 0000000005 has not that many seats free");
    Receive(5, Message(EMessage::kJoin, 1, 7));
    EXPECT_EQ(Last(5).m_text, "no room 0000000007");

    Receive(2, Message(EMessage::kInput, 2), 1100);
    EXPECT_EQ(Last(1).m_type, EMessage::kRelayedInput);
    EXPECT_EQ(Last(1).m_batch.m_stamp, 1000);  // since the room opened
    CMessage snapshot = Message(EMessage::kSnapshot);
    snapshot.m_tick = CRelay::kJoinLead - 1;  // the tick before the newcomer's first
    Receive(1, snapshot);
    Receive(1, snapshot);
    EXPECT_EQ(m_received[2].size(), 2u);  // its welcome, one snapshot
    EXPECT_EQ(m_received[3].size(), 1u);
    EXPECT_EQ(m_closed, (std::set<int>{4, 5}));

    Receive(1, Message(EMessage::kInput, 2));
    EXPECT_EQ(Last(1).m_text, "a message for seat 3, which is not this connection's");
    EXPECT_EQ(Last(2).m_held, 0b0100);
    m_relay.Closed(2);
    EXPECT_EQ(m_relay.RoomCount(), 1u);
}

TEST_F(Relay, ClosesOnlyTheConnectionAtFault)
{
    for (int connection = 1; connection <= 4; ++connection)
        m_relay.Open(connection, "192.0.2.1", 0);
    Receive(1, Message(EMessage::kJoin, 1));
    Receive(2, Message(EMessage::kJoin, 1, 5));
    const std::uint8_t garbage[] = {42};
    m_relay.Receive(3, garbage, 0);
    EXPECT_EQ(Last(3).m_text, "a message of unknown type 42");
    Receive(4, Message(EMessage::kInput));
    EXPECT_EQ(Last(4).m_text, "a message before joining a room");
    Receive(2, Message(EMessage::kSnapshot));
    EXPECT_EQ(Last(2).m_text, "a snapshot from a member who is not the host");
    EXPECT_EQ(m_closed, (std::set<int>{2, 3, 4}));

    // A burst of 500 is allowed, then 250 a second.
    for (int i = 0; i < int(CRelay::kBurst); ++i)
        Receive(1, Message(EMessage::kInput), 1000);
    EXPECT_EQ(m_closed.count(1), 0u);
    Receive(1, Message(EMessage::kInput), 1000);
    EXPECT_EQ(Last(1).m_error, EError::kTooFast);

    m_relay.Open(5, "192.0.2.1", 0);
    m_relay.Poll(CRelay::kSilenceMs - 1);
    EXPECT_EQ(m_closed.count(5), 0u);
    m_relay.Poll(CRelay::kSilenceMs);
    EXPECT_EQ(Last(5).m_text, "nothing heard for 10 s");
}

TEST_F(Relay, LimitsJoinsFromOneAddress)
{
    for (int i = 0; i <= CRelay::kJoinsPerWindow + 1; ++i) {
        m_relay.Open(i, "198.51.100.7", 0);
        Receive(i, Message(EMessage::kJoin, 1, 1234), i <= CRelay::kJoinsPerWindow ? 9'999 : 10'000);
        EXPECT_EQ(Last(i).m_error, i == CRelay::kJoinsPerWindow ? EError::kTooFast : EError::kNoSuchRoom) << i;
    }
}

TEST_F(Relay, EchoesPingsPassesResyncsToTheHostAndLeavesTheShipCountToIt)
{
    for (int connection = 1; connection <= 3; ++connection)
        m_relay.Open(connection, "192.0.2.1", 0);
    Receive(1, Message(EMessage::kJoin, 1));
    CMessage ping = Message(EMessage::kPing);
    ping.m_tick = 1234;
    Receive(2, ping);  // before joining too
    EXPECT_EQ(Last(2).m_tick, 1234u);
    Receive(2, Message(EMessage::kJoin, 1, 5));
    Receive(3, Message(EMessage::kJoin, 1, 5));
    EXPECT_EQ(Last(3).m_tick, CRelay::kJoinLead + 1);  // each change of seats a tick after the last
    Receive(2, Message(EMessage::kResync));
    EXPECT_EQ(Last(1).m_type, EMessage::kResync);
    CMessage snapshot = Message(EMessage::kSnapshot);
    snapshot.m_tick = 99;
    Receive(1, snapshot);
    EXPECT_EQ(Last(2).m_tick, 99u);
    EXPECT_EQ(m_received[3].size(), 1u);  // its welcome: it waits for the tick before its first
    CMessage ships = Message(EMessage::kInput, 2);
    ships.m_batch.m_inputs[0] = kCommandMoreShips << kCommandShift;
    Receive(3, ships);
    EXPECT_EQ(Last(3).m_text, "a change of the ship count from a member who is not the host");
    // Its seat goes back a tick after the newest change, though its last input was older.
    EXPECT_EQ(Last(1).m_tick, CRelay::kJoinLead + 2);
    EXPECT_EQ(Last(1).m_held, 0b0011);
}
