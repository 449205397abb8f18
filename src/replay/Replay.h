#pragma once
// Recording a session to a replay file while it is played, and playing one back.
//
// The recorder writes as the game goes: each tick's input joins a buffer that goes to the
// file once a second, and the header's tick count is brought up to date after each write, so
// that the file is a whole replay of what was written however the program ends. Nothing is
// allocated once it is open.
#include <cstdio>
#include <span>
#include <string>

#include "platform/gdi/Geometry.h"
#include "replay/ReplayFormat.h"

class CArena;

class CReplayRecorder
{
public:
    ~CReplayRecorder();

    // Creates the file and writes its header; false with one line of why otherwise.
    bool Open(const char* path, std::uint32_t seed, std::int32_t startSecond, std::string& error);
    // The tick's input, and the game's hash after every 100th tick.
    void Record(const CTickInput& input, const CArena& after);
    // Writes what is buffered and closes the file.
    void Close();

    const CReplayHeader& Header() const { return m_header; }

private:
    void Put(std::uint64_t value, int size);
    void EndRun();
    void Flush();

    // Each write ends the run of unchanged ticks, so no run outgrows its byte.
    static constexpr std::uint32_t kFlushEvery = 40;
    static_assert(kFlushEvery <= replay::kMaxRun);

    std::FILE* m_file = nullptr;
    CReplayHeader m_header;
    std::uint8_t m_seats[CTickInput::kSeats] = {};
    int m_run = 0;
    std::uint8_t m_buffer[4096] = {};
    std::size_t m_used = 0;
};

class CReplayPlayer
{
public:
    // Reads and checks a replay; false with one line of why, and nothing kept, otherwise.
    bool Load(const char* path, std::string& error);
    bool Load(std::span<const std::uint8_t> bytes, std::string& error);

    // The next tick's input; false once every tick has been played, when it says how the
    // playback went on standard output.
    bool Next(CTickInput& input);
    // Compares the game after the last tick with the recorded hash, where there is one; the
    // first difference is reported on standard error.
    void Check(const CArena& after);

    // The first arena size of the replay, where it was recorded.
    CSize FirstSize() const;

    CReplay m_replay;
    std::size_t m_next = 0;
    std::size_t m_matched = 0;
    bool m_diverged = false;
    bool m_ended = false;
};
