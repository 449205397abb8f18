#include "replay/ReplayFormat.h"

#include <cstdio>
#include <cstring>

using namespace replay;

namespace {

constexpr char kMagic[4] = {'V', 'X', 'R', 'P'};

// Reads little-endian values from the bytes, remembering whether any read went past them.
class CReader
{
public:
    explicit CReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t Read(int size)
    {
        if (m_at + size > m_bytes.size()) {
            m_short = true;
            m_at = m_bytes.size();
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint64_t(m_bytes[m_at + i]) << (8 * i);
        m_at += size;
        return value;
    }
    bool AtEnd() const { return m_at == m_bytes.size(); }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_short = false;
};

std::string Say(const char* format, unsigned long long a, unsigned long long b = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// One tick's record after its tag; false when it holds what no tick can.
bool ReadTick(CReader& reader, std::uint8_t tag, CTickInput& tick)
{
    if (tag & kSeatsTag) {
        for (std::uint8_t& seat : tick.m_seats) {
            seat = std::uint8_t(reader.Read(1));
            if (seat & ~kSeatKeyMask)
                return false;
        }
    }
    if (tag & kSwitchesTag) {
        const auto count = reader.Read(1);
        if (count == 0 || count > CTickInput::kMaxSwitches)
            return false;
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto key = std::uint8_t(reader.Read(1));
            if (!reader.m_short && !IsSwitchKey(key))
                return false;
            tick.AddSwitch(key);
        }
    }
    if (tag & kResizeTag) {
        tick.m_resize = true;
        tick.m_width = std::uint16_t(reader.Read(2));
        tick.m_height = std::uint16_t(reader.Read(2));
    }
    return true;
}


// The header after the magic.
bool ReadHeader(CReader& reader, CReplayHeader& header, std::string& error)
{
    header.m_formatVersion = std::uint16_t(reader.Read(2));
    for (std::uint8_t& part : header.m_gameVersion)
        part = std::uint8_t(reader.Read(1));
    header.m_ticks = std::uint32_t(reader.Read(4));
    header.m_seed = std::uint32_t(reader.Read(4));
    header.m_startSecond = std::int32_t(std::uint32_t(reader.Read(4)));
    if (reader.m_short) {
        error = "the replay ends inside its header";
        return false;
    }
    if (header.m_formatVersion != CReplayHeader::kFormatVersion) {
        error = Say("the replay is of format version %llu; this game plays version %llu", header.m_formatVersion,
                    CReplayHeader::kFormatVersion);
        return false;
    }
    // A run packs at most 127 ticks into a byte: the count must fit the file.
    if (header.m_ticks > std::uint64_t(reader.m_bytes.size()) * kMaxRun) {
        error = Say("the replay announces %llu ticks, more than its %llu bytes can hold", header.m_ticks,
                    reader.m_bytes.size());
        return false;
    }
    return true;
}

// The ticks and hashes after the header, up to the count the header announces.
bool ReadEntries(CReader& reader, std::uint32_t announced, CReplay& replay, std::string& error)
{
    replay.m_ticks.reserve(announced);
    CTickInput last;
    while (!reader.AtEnd()) {
        const std::size_t at = reader.m_at;
        const auto tag = std::uint8_t(reader.Read(1));
        const std::size_t ticks = replay.m_ticks.size();
        if (tag == kCheckpointTag) {
            const std::uint64_t hash = reader.Read(8);
            if (reader.m_short || ticks == 0 || ticks % kCheckpointEvery != 0 ||
                replay.m_checkpoints.size() != ticks / kCheckpointEvery - 1) {
                error = Say("the replay is damaged at byte %llu (a misplaced hash)", at);
                return false;
            }
            replay.m_checkpoints.push_back(hash);
            continue;
        }
        CTickInput tick;
        std::copy(std::begin(last.m_seats), std::end(last.m_seats), tick.m_seats);
        const int count = (tag & kRunTag) ? (tag & kMaxRun) : 1;
        if (count == 0 || (!(tag & kRunTag) && (tag == 0 || (tag & ~7) != 0)) ||
            !ReadTick(reader, (tag & kRunTag) ? 0 : tag, tick)) {
            error = Say("the replay is damaged at byte %llu", at);
            return false;
        }
        if (ticks + count > announced) {
            error = Say("the replay holds more ticks than the %llu it announces", announced);
            return false;
        }
        replay.m_ticks.insert(replay.m_ticks.end(), count, tick);
        last = tick;
    }
    return true;
}

}  // namespace

namespace replay {

CReplayHeader CurrentHeader()
{
    CReplayHeader header;
    unsigned version[4] = {};
    std::sscanf(VEXLOR_VERSION, "%u.%u.%u.%u", &version[0], &version[1], &version[2], &version[3]);
    for (int i = 0; i < 4; ++i)
        header.m_gameVersion[i] = std::uint8_t(version[i]);
    return header;
}

void EncodeHeader(const CReplayHeader& header, std::uint8_t* out)
{
    const auto put = [&out](std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            *out++ = std::uint8_t(value >> (8 * i));
    };
    std::memcpy(out, kMagic, sizeof kMagic);
    out += sizeof kMagic;
    put(header.m_formatVersion, 2);
    for (const std::uint8_t part : header.m_gameVersion)
        put(part, 1);
    put(header.m_ticks, 4);
    put(header.m_seed, 4);
    put(std::uint32_t(header.m_startSecond), 4);
}

}  // namespace replay

bool CReplay::Decode(std::span<const std::uint8_t> bytes, std::string& error)
{
    *this = CReplay();
    if (Parse(bytes, error))
        return true;
    *this = CReplay();
    return false;
}

bool CReplay::Parse(std::span<const std::uint8_t> bytes, std::string& error)
{
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        error = "not a Vexlor replay";
        return false;
    }
    if (bytes.size() > kMaxFileSize) {
        error = Say("too large for a replay (%llu bytes)", bytes.size());
        return false;
    }
    CReader reader(bytes);
    reader.m_at = sizeof kMagic;
    CReplayHeader header;
    if (!ReadHeader(reader, header, error) || !ReadEntries(reader, header.m_ticks, *this, error))
        return false;
    if (reader.m_short || m_ticks.size() != header.m_ticks) {
        error = Say("the replay is cut short: it ends at tick %llu of the %llu it announces", m_ticks.size(),
                    header.m_ticks);
        return false;
    }
    m_header = header;
    return true;
}
