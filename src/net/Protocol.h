#pragma once
// The messages of an online session, one to a WebSocket binary message: a type byte, then
// the fields, little-endian. Every message decodes strictly: its exact size for its type,
// seats 0 to 3, ticks below kMaxTick, keys within a seat's five, text that prints.
//
//   Join          client → relay   protocol version (u16), room (u64, 0 opens a new one),
//                                  seats wanted (u8, 1 to 4)
//   Welcome       relay → client   room (u64), the seats given (u8 mask), every seat held
//                                  (u8 mask), the tick the seats given start at (u32), the
//                                  host's seats (u8 mask)
//   Input         client → relay   seat (u8), the sender's confirmed tick less the last tick
//                                  (i16), the last tick (u32), count (u8, 1 to 8), then count
//                                  inputs, oldest first
//   RelayedInput  relay → client   the same, then the relay's stamp (u16, milliseconds)
//   HashReport    both ways        seat (u8), tick (u32), hash (u64)
//   Snapshot      both ways        tick (u32), then the arena's snapshot as it stands after it
//   Seats         relay → client   every seat held (u8 mask), the host's seats (u8 mask), the
//                                  tick from which they hold (u32)
//   Leave         client → relay   nothing
//   Error         both ways        code (u8), then up to 200 bytes of printable text
//   Ping          both ways        the client's clock (u32, ms); the relay sends it straight back
//   Resync        client → relay   nothing: a machine out of step asks the host for a snapshot
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace net {

constexpr std::uint16_t kProtocolVersion = 3;
constexpr int kSeats = 4;
constexpr int kMaxBatch = 8;
// About 621 days of ticks: beyond it a tick is a fault, not a long game.
constexpr std::uint32_t kMaxTick = 1u << 31;
// Room codes are 50 random bits (10 letters of their alphabet).
constexpr std::uint64_t kRoomLimit = std::uint64_t(1) << 50;
constexpr std::size_t kMaxErrorText = 200;
constexpr std::size_t kMaxMessage = 16384 + 8;

// An input byte: the seat's keys (bits 0 to 4) and, above them, a command.
enum : std::uint8_t {
    kCommandNone = 0,
    kCommandAutopilot = 1,  // the seat's own autopilot on or off
    kCommandPause = 2,
    kCommandMoreShips = 3,  // the host's only
    kCommandFewerShips = 4,  // the host's only
    kCommandLast = kCommandFewerShips,
    kCommandShift = 5,
};

enum class EMessage : std::uint8_t {
    kJoin = 1,
    kWelcome,
    kInput,
    kRelayedInput,
    kHashReport,
    kSnapshot,
    kSeats,
    kLeave,
    kError,
    kPing,
    kResync,
};

enum class EError : std::uint8_t {
    kBadMessage = 1,
    kNoSuchRoom,
    kRoomFull,
    kNotYourSeat,
    kTooFast,
    kTimedOut,
    kDesync,
};

struct CInputBatch
{
    std::uint8_t m_seat = 0;
    std::uint32_t m_confirmed = 0;
    std::uint32_t m_lastTick = 0;
    std::uint8_t m_count = 0;
    std::uint8_t m_inputs[kMaxBatch] = {};
    std::uint16_t m_stamp = 0;

    std::uint32_t FirstTick() const { return m_lastTick + 1 - m_count; }
};

// One decoded message: the type and the fields its type has. A snapshot's bytes point into
// the decoded buffer.
struct CMessage
{
    EMessage m_type = EMessage::kLeave;
    std::uint16_t m_version = kProtocolVersion;
    std::uint64_t m_room = 0;
    std::uint8_t m_seatsWanted = 0;
    std::uint8_t m_seats = 0;
    std::uint8_t m_held = 0;
    std::uint32_t m_tick = 0;
    std::uint8_t m_hostSeats = 0;
    CInputBatch m_batch;
    std::uint64_t m_hash = 0;
    std::span<const std::uint8_t> m_snapshot;
    EError m_error = EError::kBadMessage;
    std::string m_text;
};

// The message's bytes in out; its size, or 0 when capacity is too small.
std::size_t Encode(const CMessage& message, std::uint8_t* out, std::size_t capacity);
// False with one line of why for anything that is not a whole, valid message.
bool Decode(std::span<const std::uint8_t> bytes, CMessage& message, std::string& error);

// A room's code as people pass it on: ten letters of an alphabet without look-alikes.
std::string RoomCode(std::uint64_t room);
// The room of a code (letters in either case); 0 for anything else.
std::uint64_t ParseRoomCode(const std::string& code);

}  // namespace net
