// The session's messages: exact bytes, every field back as sent, and a clear refusal of
// whatever no peer or relay sends. The arena's snapshot comes back whole or not at all.
#include <gtest/gtest.h>

#include <vector>

#include "arena/Arena.h"
#include "net/ArenaSnapshot.h"
#include "net/Protocol.h"

using namespace net;

namespace {

std::vector<std::uint8_t> Bytes(const CMessage& message)
{
    std::vector<std::uint8_t> out(kMaxMessage);
    out.resize(Encode(message, out.data(), out.size()));
    return out;
}

std::string Refusal(const std::vector<std::uint8_t>& bytes)
{
    CMessage message;
    std::string error;
    return Decode(bytes, message, error) ? "accepted" : error;
}

}  // namespace

TEST(Protocol, MessagesComeBackAsSentAtTheirExactBytes)
{
    CMessage input;
    input.m_type = EMessage::kRelayedInput;
    input.m_batch = CInputBatch{3, 96, 100, 4, {1, 0x3F, 0x5F, 0x9F}, 0xBEEF};
    EXPECT_EQ(Bytes(input), (std::vector<std::uint8_t>{4, 3, 0xFC, 0xFF, 100, 0, 0, 0, 4, 1, 0x3F, 0x5F, 0x9F, 0xEF,
                                                       0xBE}));
    CMessage back;
    std::string error;
    ASSERT_TRUE(Decode(Bytes(input), back, error)) << error;
    EXPECT_EQ(back.m_batch.FirstTick(), 97u);
    EXPECT_EQ(Bytes(back), Bytes(input));

    CMessage join;
    join.m_type = EMessage::kJoin;
    join.m_room = kRoomLimit - 1;
    join.m_seatsWanted = 2;
    EXPECT_EQ(Bytes(join), (std::vector<std::uint8_t>{1, 3, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 2}));

    CMessage failure;
    failure.m_type = EMessage::kError;
    failure.m_error = EError::kTooFast;
    failure.m_text = "too many";
    ASSERT_TRUE(Decode(Bytes(failure), back, error));
    EXPECT_EQ(back.m_text, "too many");
}

TEST(Protocol, RefusesWhatNoPeerSendsWithTheReason)
{
    const std::vector<std::uint8_t> input = {3, 0, 0xF6, 0xFF, 10, 0, 0, 0, 2, 0x1F, 0x9F};  // ticks 9 and 10
    ASSERT_EQ(Refusal(input), "accepted");
    const auto with = [&](std::size_t at, std::uint8_t value) {
        auto bytes = input;
        bytes[at] = value;
        return Refusal(bytes);
    };
    EXPECT_EQ(Refusal({}), "a message of 0 bytes (1 to 16392)");
    EXPECT_EQ(with(0, 12), "a message of unknown type 12");
    EXPECT_EQ(with(1, 4), "input for seat 4");
    EXPECT_EQ(with(10, 0xBF), "an input with command 5");
    EXPECT_EQ(with(7, 0x80), "input for ticks out of range (up to tick 2147483658, 2 of them)");
    EXPECT_EQ(with(4, 1), "input for ticks out of range (up to tick 1, 2 of them)");
    EXPECT_EQ(with(2, 0xF5), "a confirmed tick out of range (-11 from tick 10)");
    EXPECT_EQ(with(8, 3), "a message of type 3 and 11 bytes");
    EXPECT_EQ(Refusal({1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), "protocol version 1; this game speaks version 3");
    EXPECT_EQ(Refusal({1, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}), "a join that wants 5 seats (1 to 4)");
    EXPECT_EQ(Refusal({1, 3, 0, 0, 0, 0, 0, 0, 0, 4, 0, 1}), "tick 0 or room 1125899906842624 out of range");
    EXPECT_EQ(Refusal({7, 1, 0x10, 0, 0, 0, 0}), "seats 0 and 17, beyond the four");
    EXPECT_EQ(Refusal({10, 0, 0, 0, 0x80}), "tick 2147483648 or room 0 out of range");
    EXPECT_EQ(Refusal({9, 1, 'o', 'k', 0x07}), "an error text that does not print");
    EXPECT_EQ(Refusal({9, 8, 'o', 'k'}), "an error of unknown code 8");
}

TEST(Protocol, RoomCodesAreTenLettersOfFiftyBits)
{
    EXPECT_EQ(RoomCode(kRoomLimit - 1), "ZZZZZZZZZZ");
    EXPECT_EQ(RoomCode(0x2AA), "00000000NA");
    EXPECT_EQ(ParseRoomCode("00000000na"), 0x2AAu);
    EXPECT_EQ(ParseRoomCode("0000000NA"), 0u);   // too short
    EXPECT_EQ(ParseRoomCode("00000000NI"), 0u);  // no I in the alphabet
}

TEST(Protocol, TheSnapshotBringsBackTheWholeGameOrNothing)
{
    CArena game;
    game.BeginSession(99u, 1'700'000'000);
    game.m_size = CSize{640, 480};
    for (int t = 0; t < 3000; ++t) {
        CTickInput input;
        input.m_seats[t / 100 % 4] = std::uint8_t(t % 32);
        game.Step(input);
    }
    std::vector<std::uint8_t> bytes(kMaxSnapshotBytes);
    bytes.resize(WriteSnapshot(game, bytes.data(), bytes.size()));
    CArena other;
    other.BeginSession(5u, 0);
    std::string error;
    ASSERT_TRUE(ReadSnapshot(bytes, other, error)) << error;
    EXPECT_TRUE(other == game);
    EXPECT_EQ(g_randomGenerator.m_state, game.m_random.m_state);

    const auto refusal = [&](std::size_t word, std::uint64_t value) {
        auto spoilt = bytes;
        for (int i = 0; i < 8; ++i)
            spoilt[2 + 8 * word + i] = std::uint8_t(value >> (8 * i));
        CArena read = game;
        const bool accepted = ReadSnapshot(spoilt, read, error);
        return accepted ? "accepted" : read == game ? error : "changed the arena";
    };
    EXPECT_EQ(refusal(0, std::uint64_t(7) << 32), "the snapshot holds a ship count out of 2 to 6");
    EXPECT_EQ(refusal(0, std::uint64_t(3) << 32 | 2), "the snapshot holds a flag that is neither set nor clear");
    EXPECT_EQ(refusal(4, 0x20), "the snapshot holds keys no seat has");
    EXPECT_EQ(refusal(5, 0x7FF8000000000000ull), "the snapshot holds a coordinate that is not a number");
    EXPECT_EQ(refusal(5 + 7, 4), "the snapshot holds a ship out of its slot");
    EXPECT_EQ(refusal(5 + 10, 5), "the snapshot holds a weapon that does not exist");
    bytes.pop_back();
    EXPECT_FALSE(ReadSnapshot(bytes, other, error));
    EXPECT_EQ(error, "the snapshot holds " + std::to_string(bytes.size()) + " bytes, not " +
                         std::to_string(bytes.size() + 1));
    bytes[0] = 2;
    EXPECT_FALSE(ReadSnapshot(bytes, other, error));
    EXPECT_EQ(error, "the snapshot is not of this game's format");
}
