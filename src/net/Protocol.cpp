#include "net/Protocol.h"

#include <algorithm>
#include <cstdio>

namespace net {

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";  // Crockford's: no I, L, O, U
constexpr int kRoomLetters = 10;

class CPut
{
public:
    CPut(std::uint8_t* out, std::size_t capacity) : m_out(out), m_capacity(capacity) {}

    void operator()(std::uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i, ++m_size)
            if (m_size < m_capacity)
                m_out[m_size] = std::uint8_t(value >> (8 * i));
    }
    std::size_t Size() const { return m_size <= m_capacity ? m_size : 0; }

    std::uint8_t* m_out;
    std::size_t m_capacity;
    std::size_t m_size = 0;
};

class CTake
{
public:
    explicit CTake(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t operator()(int size)
    {
        std::uint64_t value = 0;
        for (int i = 0; i < size && m_at < m_bytes.size(); ++i)
            value |= std::uint64_t(m_bytes[m_at++]) << (8 * i);
        return value;
    }
    std::span<const std::uint8_t> Rest() const { return m_bytes.subspan(m_at); }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

// The exact size of each type's message, type byte included; 0 for the types of any size.
std::size_t FixedSize(EMessage type, std::span<const std::uint8_t> bytes)
{
    switch (type) {
    case EMessage::kJoin: return 12;
    case EMessage::kWelcome: return 16;
    case EMessage::kInput:
    case EMessage::kRelayedInput: {
        const std::size_t count = bytes.size() > 8 ? bytes[8] : 0;
        return 9 + count + (type == EMessage::kRelayedInput ? 2 : 0);
    }
    case EMessage::kHashReport: return 14;
    case EMessage::kSeats: return 7;
    case EMessage::kLeave:
    case EMessage::kResync: return 1;
    case EMessage::kPing: return 5;
    default: return 0;
    }
}

std::string Say(const char* format, unsigned long long a, unsigned long long b = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

void PutBatch(CPut& put, const CInputBatch& batch, bool stamped)
{
    // The confirmed tick as its distance from the last: two bytes, not four, on every message.
    // One far behind reads as nearer, which only makes the peers resend more.
    const std::int64_t behind = std::int64_t(batch.m_confirmed) - std::int64_t(batch.m_lastTick);
    put(batch.m_seat, 1);
    put(std::uint16_t(std::clamp<std::int64_t>(behind, INT16_MIN, INT16_MAX)), 2);
    put(batch.m_lastTick, 4);
    put(batch.m_count, 1);
    for (int i = 0; i < batch.m_count && i < kMaxBatch; ++i)
        put(batch.m_inputs[i], 1);
    if (stamped)
        put(batch.m_stamp, 2);
}

bool TakeBatch(CTake& take, CInputBatch& batch, bool stamped, std::string& error)
{
    batch.m_seat = std::uint8_t(take(1));
    const std::int16_t behind = std::int16_t(take(2));
    batch.m_lastTick = std::uint32_t(take(4));
    batch.m_count = std::uint8_t(take(1));
    batch.m_confirmed = std::uint32_t(std::int64_t(batch.m_lastTick) + behind);
    if (batch.m_seat >= kSeats) {
        error = Say("input for seat %llu", batch.m_seat);
        return false;
    }
    if (batch.m_count == 0 || batch.m_count > kMaxBatch) {
        error = Say("an input batch of %llu ticks (1 to %llu)", batch.m_count, kMaxBatch);
        return false;
    }
    if (batch.m_lastTick >= kMaxTick || batch.m_lastTick < batch.m_count) {
        error = Say("input for ticks out of range (up to tick %llu, %llu of them)", batch.m_lastTick, batch.m_count);
        return false;
    }
    if (-behind > std::int64_t(batch.m_lastTick) || batch.m_confirmed >= kMaxTick) {
        error = "a confirmed tick out of range (" + std::to_string(behind) + " from tick " +
                std::to_string(batch.m_lastTick) + ")";
        return false;
    }
    for (int i = 0; i < batch.m_count; ++i) {
        batch.m_inputs[i] = std::uint8_t(take(1));
        if (batch.m_inputs[i] >> kCommandShift > kCommandLast) {
            error = Say("an input with command %llu", batch.m_inputs[i] >> kCommandShift);
            return false;
        }
    }
    if (stamped)
        batch.m_stamp = std::uint16_t(take(2));
    return true;
}

bool TakeJoin(CTake& take, CMessage& m, std::string& error)
{
    m.m_version = std::uint16_t(take(2));
    m.m_room = take(8);
    m.m_seatsWanted = std::uint8_t(take(1));
    if (m.m_version != kProtocolVersion) {
        error = Say("protocol version %llu; this game speaks version %llu", m.m_version, kProtocolVersion);
        return false;
    }
    if (m.m_seatsWanted < 1 || m.m_seatsWanted > kSeats) {
        error = Say("a join that wants %llu seats (1 to %llu)", m.m_seatsWanted, kSeats);
        return false;
    }
    return true;
}

bool TakeError(CTake& take, CMessage& m, std::string& error)
{
    m.m_error = EError(take(1));
    if (m.m_error < EError::kBadMessage || m.m_error > EError::kDesync) {
        error = Say("an error of unknown code %llu", std::uint8_t(m.m_error));
        return false;
    }
    const auto text = take.Rest();
    if (text.size() > kMaxErrorText) {
        error = Say("an error text of %llu bytes (at most %llu)", text.size(), kMaxErrorText);
        return false;
    }
    for (const std::uint8_t c : text) {
        if (c < 0x20 || c > 0x7E) {
            error = "an error text that does not print";
            return false;
        }
    }
    m.m_text.assign(text.begin(), text.end());
    return true;
}

bool TakeFields(CTake& take, CMessage& m, std::string& error)
{
    switch (m.m_type) {
    case EMessage::kJoin:
        return TakeJoin(take, m, error);
    case EMessage::kWelcome:
        m.m_room = take(8);
        m.m_seats = std::uint8_t(take(1));
        m.m_held = std::uint8_t(take(1));
        m.m_tick = std::uint32_t(take(4));
        m.m_hostSeats = std::uint8_t(take(1));
        break;
    case EMessage::kInput:
    case EMessage::kRelayedInput:
        return TakeBatch(take, m.m_batch, m.m_type == EMessage::kRelayedInput, error);
    case EMessage::kHashReport:
        m.m_seats = std::uint8_t(take(1));
        m.m_tick = std::uint32_t(take(4));
        m.m_hash = take(8);
        if (m.m_seats >= kSeats) {
            error = Say("a hash report from seat %llu", m.m_seats);
            return false;
        }
        break;
    case EMessage::kSnapshot:
        m.m_tick = std::uint32_t(take(4));
        m.m_snapshot = take.Rest();
        break;
    case EMessage::kSeats:
        m.m_held = std::uint8_t(take(1));
        m.m_hostSeats = std::uint8_t(take(1));
        m.m_tick = std::uint32_t(take(4));
        break;
    case EMessage::kPing:
        m.m_tick = std::uint32_t(take(4));
        break;
    case EMessage::kLeave:
    case EMessage::kResync:
        break;
    case EMessage::kError:
        return TakeError(take, m, error);
    }
    return true;
}

}  // namespace

std::size_t Encode(const CMessage& m, std::uint8_t* out, std::size_t capacity)
{
    CPut put(out, capacity);
    put(std::uint8_t(m.m_type), 1);
    switch (m.m_type) {
    case EMessage::kJoin: put(m.m_version, 2), put(m.m_room, 8), put(m.m_seatsWanted, 1); break;
    case EMessage::kWelcome:
        put(m.m_room, 8), put(m.m_seats, 1), put(m.m_held, 1), put(m.m_tick, 4), put(m.m_hostSeats, 1);
        break;
    case EMessage::kInput:
    case EMessage::kRelayedInput: PutBatch(put, m.m_batch, m.m_type == EMessage::kRelayedInput); break;
    case EMessage::kHashReport: put(m.m_seats, 1), put(m.m_tick, 4), put(m.m_hash, 8); break;
    case EMessage::kSnapshot:
        put(m.m_tick, 4);
        for (const std::uint8_t b : m.m_snapshot)
            put(b, 1);
        break;
    case EMessage::kSeats: put(m.m_held, 1), put(m.m_hostSeats, 1), put(m.m_tick, 4); break;
    case EMessage::kPing: put(m.m_tick, 4); break;
    case EMessage::kLeave:
    case EMessage::kResync: break;
    case EMessage::kError:
        put(std::uint8_t(m.m_error), 1);
        for (std::size_t i = 0; i < m.m_text.size() && i < kMaxErrorText; ++i)
            put(std::uint8_t(m.m_text[i]), 1);
        break;
    }
    return put.Size();
}

bool Decode(std::span<const std::uint8_t> bytes, CMessage& m, std::string& error)
{
    m = CMessage();
    if (bytes.empty() || bytes.size() > kMaxMessage) {
        error = Say("a message of %llu bytes (1 to %llu)", bytes.size(), kMaxMessage);
        return false;
    }
    if (bytes[0] < std::uint8_t(EMessage::kJoin) || bytes[0] > std::uint8_t(EMessage::kResync)) {
        error = Say("a message of unknown type %llu", bytes[0]);
        return false;
    }
    m.m_type = EMessage(bytes[0]);
    const std::size_t size = FixedSize(m.m_type, bytes);
    if ((size != 0 && bytes.size() != size) || (m.m_type == EMessage::kSnapshot && bytes.size() < 5) ||
        (m.m_type == EMessage::kError && bytes.size() < 2)) {
        error = Say("a message of type %llu and %llu bytes", bytes[0], bytes.size());
        return false;
    }
    CTake take(bytes);
    take(1);
    if (!TakeFields(take, m, error))
        return false;
    // What the types share: seat masks of the four seats, ticks and rooms in range.
    if ((m.m_seats | m.m_held | m.m_hostSeats) >= 1u << kSeats && m.m_type != EMessage::kHashReport) {
        error = Say("seats %llu and %llu, beyond the four", m.m_seats, m.m_held | m.m_hostSeats);
        return false;
    }
    if (m.m_tick >= kMaxTick || m.m_room >= kRoomLimit) {
        error = Say("tick %llu or room %llu out of range", m.m_tick, m.m_room);
        return false;
    }
    return true;
}

std::string RoomCode(std::uint64_t room)
{
    std::string code(kRoomLetters, '0');
    for (int i = kRoomLetters - 1; i >= 0; --i, room >>= 5)
        code[i] = kAlphabet[room & 31];
    return code;
}

std::uint64_t ParseRoomCode(const std::string& code)
{
    if (code.size() != kRoomLetters)
        return 0;
    std::uint64_t room = 0;
    for (char c : code) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        int digit = 0;
        while (kAlphabet[digit] != '\0' && kAlphabet[digit] != c)
            ++digit;
        if (kAlphabet[digit] == '\0')
            return 0;
        room = room << 5 | std::uint64_t(digit);
    }
    return room;
}

}  // namespace net
