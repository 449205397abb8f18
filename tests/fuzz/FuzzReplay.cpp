// libFuzzer target: the replay reader. Any bytes are either refused with one line and
// nothing kept, or read whole, and then play (a few hundred ticks at most) without a fault.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "arena/Arena.h"
#include "replay/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CReplayPlayer player;
    std::string error;
    if (!player.Load(std::span(data, size), error)) {
        if (error.empty() || error.find('\n') != std::string::npos || !player.m_replay.m_ticks.empty()) {
            std::fprintf(stderr, "a refusal that says nothing, spans lines or keeps ticks: '%s'\n", error.c_str());
            std::abort();
        }
        return 0;
    }
    if (player.m_replay.m_ticks.size() != player.m_replay.m_header.m_ticks)
        std::abort();
    static CArena game;
    game.BeginSession(player.m_replay.m_header.m_seed, player.m_replay.m_header.m_startSecond);
    CTickInput input;
    for (int tick = 0; tick < 400 && player.Next(input); ++tick) {
        game.Step(input);
        player.Check(game);
    }
    return 0;
}
