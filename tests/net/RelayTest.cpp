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

class CFakeTransport : public CRelaySink
{
public:
    void Send(int connection, std::span<const std::uint8_t> bytes) override
    {
        CMessage message;
        std::string error;
        ASSERT_TRUE(Decode(bytes, message, error)) << error;
        if (message.m_type == EMessage::kSnapshot)
            message.m_snapshot = {};  // the relay's buffer is reused
        m_received[connection].push_back(message);
    }
    void Close(int connection, const std::string&) override { m_closed.insert(connection); }

    std::map<int, std::vector<CMessage>> m_received;
    std::set<int> m_closed;
};

class Relay : public ::testing::Test
{
protected:
    Relay()
    {
        for (int connection = 1; connection <= 4; ++connection)
            m_relay.Open(connection, "192.0.2.1", 0);
    }
    void Send(int connection, const CMessage& message, std::int64_t nowMs = 0)
    {
        std::uint8_t bytes[kMaxMessage];
        m_relay.Receive(connection, std::span(bytes, Encode(message, bytes, sizeof bytes)), nowMs);
    }
    static CMessage Join(std::uint64_t room, int seats)
    {
        CMessage join;
        join.m_type = EMessage::kJoin;
        join.m_room = room;
        join.m_seatsWanted = std::uint8_t(seats);
        return join;
    }
    static CMessage Input(int seat)
    {
        CMessage input;
        input.m_type = EMessage::kInput;
        input.m_batch = CInputBatch{std::uint8_t(seat), 0, 30, 1, {kSeatFire}, 0};
        return input;
    }
    const CMessage& Last(int connection) { return m_transport.m_received[connection].back(); }
    // Connection 1 opens a room with two seats, connection 2 takes one more.
    void OpenRoom()
    {
        Send(1, Join(0, 2));
        Send(2, Join(Last(1).m_room, 1));
    }

    CFakeTransport m_transport;
    // 0 is no room, the rest is cut to 50 bits, and a code in use is drawn again.
    std::vector<std::uint64_t> m_codes = {0, kRoomLimit + 5, 5, 6};
    CRelay m_relay{m_transport, [this] {
                       const std::uint64_t code = m_codes.front();
                       m_codes.erase(m_codes.begin());
                       return code;
                   }};
};

}  // namespace

TEST_F(Relay, GivesTheFirstFreeSeatsAndTellsTheRoom)
{
    OpenRoom();
    const CMessage& host = m_transport.m_received[1].front();
    EXPECT_EQ(host.m_type, EMessage::kWelcome);
    EXPECT_EQ(host.m_room, 5u);
    EXPECT_EQ(host.m_seats, 0b0011);
    EXPECT_TRUE(host.m_host);
    EXPECT_EQ(Last(2).m_seats, 0b0100);
    EXPECT_EQ(Last(2).m_held, 0b0111);
    EXPECT_FALSE(Last(2).m_host);
    EXPECT_EQ(Last(1).m_type, EMessage::kSeats);
    EXPECT_EQ(Last(1).m_held, 0b0111);

    Send(3, Join(5, 2));
    EXPECT_EQ(Last(3).m_error, EError::kRoomFull);
    EXPECT_EQ(Last(3).m_text, "room 0000000005 has not that many seats free");
    Send(4, Join(6, 1));
    EXPECT_EQ(Last(4).m_text, "no room 0000000006");
    EXPECT_EQ(m_transport.m_closed, (std::set<int>{3, 4}));

    m_relay.Closed(1);
    EXPECT_EQ(Last(2).m_held, 0b0100);
    m_relay.Closed(2);
    EXPECT_EQ(m_relay.RoomCount(), 0u);
}

TEST_F(Relay, ForwardsInputWithItsStampToTheOthersOnly)
{
    Send(1, Join(0, 2), 100);
    Send(2, Join(5, 1), 200);
    Send(3, Join(0, 1), 300);  // another room
    const std::size_t before = m_transport.m_received[1].size();
    Send(2, Input(2), 1100);
    EXPECT_EQ(Last(1).m_type, EMessage::kRelayedInput);
    EXPECT_EQ(Last(1).m_batch.m_stamp, 1000);
    EXPECT_EQ(Last(1).m_batch.m_lastTick, 30u);
    EXPECT_EQ(m_transport.m_received[2].size(), 1u);  // its welcome only
    EXPECT_EQ(m_transport.m_received[3].size(), 1u);

    CMessage snapshot;
    snapshot.m_type = EMessage::kSnapshot;
    const std::uint8_t bytes[3] = {1, 2, 3};
    snapshot.m_snapshot = bytes;
    Send(1, snapshot, 1200);
    Send(1, snapshot, 1300);
    EXPECT_EQ(m_transport.m_received[2].size(), 2u);  // once, to the one who joined
    EXPECT_EQ(m_transport.m_received[1].size(), before + 1);
    EXPECT_TRUE(m_transport.m_closed.empty());

    Send(2, snapshot, 1400);
    EXPECT_EQ(Last(2).m_text, "a snapshot from a member who is not the host");
    Send(1, Input(2), 1500);
    EXPECT_EQ(Last(1).m_error, EError::kNotYourSeat);
    EXPECT_EQ(Last(1).m_text, "a message for seat 3, which is not this connection's");
    EXPECT_EQ(m_transport.m_closed, (std::set<int>{1, 2}));
}

TEST_F(Relay, ClosesOnlyTheConnectionAtFault)
{
    OpenRoom();
    const std::uint8_t garbage[] = {42};
    m_relay.Receive(3, garbage, 0);
    EXPECT_EQ(Last(3).m_text, "a message of unknown type 42");
    Send(4, Input(0));
    EXPECT_EQ(Last(4).m_text, "a message before joining a room");
    m_relay.Open(5, "192.0.2.1", 0);
    CMessage welcome;
    welcome.m_type = EMessage::kWelcome;
    Send(5, welcome);
    EXPECT_EQ(Last(5).m_text, "a message only the relay sends");
    EXPECT_EQ(m_transport.m_closed, (std::set<int>{3, 4, 5}));

    // A burst of 500 is allowed, then 250 a second.
    for (int i = 0; i < int(CRelay::kBurst); ++i)
        Send(1, Input(0), 1000);
    EXPECT_EQ(m_transport.m_closed.count(1), 0u);
    Send(1, Input(0), 1000);
    EXPECT_EQ(m_transport.m_closed.count(1), 1u);
    EXPECT_EQ(Last(1).m_error, EError::kTooFast);

    m_relay.Poll(CRelay::kSilenceMs - 1);
    EXPECT_EQ(m_transport.m_closed.count(2), 0u);
    m_relay.Poll(CRelay::kSilenceMs);
    EXPECT_EQ(Last(2).m_text, "nothing heard for 10 s");
}

TEST_F(Relay, LimitsJoinsFromOneAddress)
{
    for (int i = 0; i < CRelay::kJoinsPerWindow; ++i) {
        m_relay.Open(10 + i, "198.51.100.7", 0);
        Send(10 + i, Join(1234, 1), 9'999);
        EXPECT_EQ(Last(10 + i).m_error, EError::kNoSuchRoom);
    }
    m_relay.Open(30, "198.51.100.7", 0);
    Send(30, Join(1234, 1), 9'999);
    EXPECT_EQ(Last(30).m_text, "too many joins from this address");
    m_relay.Open(31, "198.51.100.7", 0);
    Send(31, Join(1234, 1), 10'000);
    EXPECT_EQ(Last(31).m_error, EError::kNoSuchRoom);
}
