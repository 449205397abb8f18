#pragma once
// The replay file: a header, then each tick's input record, with a hash of the game after
// every 100th tick so that a replay can tell when it no longer plays what was recorded.
// Little-endian throughout.
//
//   header, 22 bytes  "VXRP", the format version (u16), the game version (four u8),
//                     the tick count (u32), the generator's seed (u32), the start second (i32)
//   0x80 | n          n ticks (1 to 127) that hold the last seats' keys, no switch, no resize
//   0x01 to 0x07      one tick, followed by what its bits say: 0x01 the four seats' keys,
//                     0x02 a switch count (up to 16) and the switch keys, 0x04 the new width
//                     and height (u16 each)
//   0x40              the hash (u64) of the game after the last tick, at every 100th
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "arena/TickInput.h"

struct CReplayHeader
{
    static constexpr std::uint16_t kFormatVersion = 1;
    static constexpr std::size_t kSize = 22;
    static constexpr std::size_t kTickCountOffset = 10;

    std::uint16_t m_formatVersion = kFormatVersion;
    std::uint8_t m_gameVersion[4] = {};
    std::uint32_t m_ticks = 0;
    std::uint32_t m_seed = 0;
    std::int32_t m_startSecond = 0;
};

namespace replay {

constexpr std::uint32_t kCheckpointEvery = 100;
constexpr std::uint8_t kRunTag = 0x80;
constexpr int kMaxRun = 0x7F;
constexpr std::uint8_t kSeatsTag = 0x01;
constexpr std::uint8_t kSwitchesTag = 0x02;
constexpr std::uint8_t kResizeTag = 0x04;
constexpr std::uint8_t kCheckpointTag = 0x40;
// A replay of a day of play is about 2 MB; anything far beyond is not one of ours.
constexpr std::size_t kMaxFileSize = std::size_t(64) << 20;

// This build's version, as the header records it.
CReplayHeader CurrentHeader();
void EncodeHeader(const CReplayHeader& header, std::uint8_t* out);

}  // namespace replay

// A replay read whole and checked: every tick's input and the hashes recorded.
struct CReplay
{
    CReplayHeader m_header;
    std::vector<CTickInput> m_ticks;
    // The hash after tick 100 (k + 1) is m_checkpoints[k].
    std::vector<std::uint64_t> m_checkpoints;

    // False, with one line that says what is wrong, for anything that is not a whole replay
    // of this format; then nothing of it is kept.
    bool Decode(std::span<const std::uint8_t> bytes, std::string& error);

private:
    bool Parse(std::span<const std::uint8_t> bytes, std::string& error);
};
