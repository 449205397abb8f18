#include "replay/Replay.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "arena/Arena.h"

using namespace replay;

CReplayRecorder::~CReplayRecorder() { Close(); }

bool CReplayRecorder::Open(const char* path, std::uint32_t seed, std::int32_t startSecond, std::string& error)
{
    m_file = std::fopen(path, "wb");
    if (m_file == nullptr) {
        error = std::string("cannot write the replay ") + path + ": " + std::strerror(errno);
        return false;
    }
    m_header = CurrentHeader();
    m_header.m_seed = seed;
    m_header.m_startSecond = startSecond;
    EncodeHeader(m_header, m_buffer);
    m_used = CReplayHeader::kSize;
    Flush();
    return true;
}

void CReplayRecorder::Record(const CTickInput& input, const CArena& after)
{
    if (m_file == nullptr)
        return;
    const bool seatsChanged = !std::equal(std::begin(input.m_seats), std::end(input.m_seats), m_seats);
    if (!seatsChanged && input.m_switchCount == 0 && !input.m_resize) {
        m_run += 1;
    } else {
        EndRun();
        const std::uint8_t tag = (seatsChanged ? kSeatsTag : 0) | (input.m_switchCount ? kSwitchesTag : 0) |
                                 (input.m_resize ? kResizeTag : 0);
        Put(tag, 1);
        for (int seat = 0; seat < CTickInput::kSeats && seatsChanged; ++seat)
            Put(m_seats[seat] = input.m_seats[seat], 1);
        if (input.m_switchCount != 0) {
            Put(input.m_switchCount, 1);
            for (int i = 0; i < input.m_switchCount; ++i)
                Put(input.m_switches[i], 1);
        }
        if (input.m_resize) {
            Put(input.m_width, 2);
            Put(input.m_height, 2);
        }
    }
    m_header.m_ticks += 1;
    if (m_header.m_ticks % kCheckpointEvery == 0) {
        EndRun();
        Put(kCheckpointTag, 1);
        Put(after.Hash(), 8);
    }
    if (m_header.m_ticks % kFlushEvery == 0)
        Flush();
}

void CReplayRecorder::Close()
{
    if (m_file == nullptr)
        return;
    Flush();
    std::fclose(m_file);
    m_file = nullptr;
}

void CReplayRecorder::Put(std::uint64_t value, int size)
{
    // The largest record is 35 bytes; a second's worth never fills the buffer, but a full one
    // is written out rather than overrun.
    if (m_used + size > sizeof m_buffer)
        Flush();
    for (int i = 0; i < size; ++i)
        m_buffer[m_used++] = std::uint8_t(value >> (8 * i));
}

void CReplayRecorder::EndRun()
{
    if (m_run == 0)
        return;
    const int run = m_run;
    m_run = 0;
    Put(kRunTag | run, 1);
}

// The ticks of an open run stay out of the count until the run is written.
void CReplayRecorder::Flush()
{
    EndRun();
    std::fwrite(m_buffer, 1, m_used, m_file);
    m_used = 0;
    std::uint8_t header[CReplayHeader::kSize];
    EncodeHeader(m_header, header);
    std::fseek(m_file, long(CReplayHeader::kTickCountOffset), SEEK_SET);
    std::fwrite(header + CReplayHeader::kTickCountOffset, 1, 4, m_file);
    std::fseek(m_file, 0, SEEK_END);
    std::fflush(m_file);
}

bool CReplayPlayer::Load(const char* path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::string("cannot read the replay ") + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kMaxFileSize)
            break;
    }
    if (!Load(bytes, error)) {
        error = std::string(path) + ": " + error;
        return false;
    }
    return true;
}

bool CReplayPlayer::Load(std::span<const std::uint8_t> bytes, std::string& error)
{
    *this = CReplayPlayer();
    return m_replay.Decode(bytes, error);
}

bool CReplayPlayer::Next(CTickInput& input)
{
    if (m_next < m_replay.m_ticks.size()) {
        input = m_replay.m_ticks[m_next++];
        return true;
    }
    if (!m_ended) {
        m_ended = true;
        std::printf("vexlor: the replay ended after %zu ticks; %zu of its %zu hashes matched\n", m_next, m_matched,
                    m_replay.m_checkpoints.size());
        std::fflush(stdout);
    }
    return false;
}

void CReplayPlayer::Check(const CArena& after)
{
    if (m_next == 0 || m_next % kCheckpointEvery != 0 || m_next / kCheckpointEvery > m_replay.m_checkpoints.size())
        return;
    if (after.Hash() == m_replay.m_checkpoints[m_next / kCheckpointEvery - 1]) {
        m_matched += 1;
    } else if (!m_diverged) {
        m_diverged = true;
        std::fprintf(stderr, "vexlor: the replay no longer plays as it was recorded, from tick %zu on\n", m_next);
    }
}

CSize CReplayPlayer::FirstSize() const
{
    for (const CTickInput& tick : m_replay.m_ticks) {
        if (tick.m_resize)
            return CSize{tick.m_width, tick.m_height};
    }
    return CSize{};
}
