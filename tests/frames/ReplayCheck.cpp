// Plays a replay file with no window and prints the game's hash after every 100th tick, as
// the recording program computed it; built natively and for the browser (run under node), so
// that both can be held against the recording.
//
// Usage: vexlor_replay_check FILE
// Exit status: 0 when every recorded hash matched, 1 when one did not, 2 for a bad file.
#include <cstdio>
#include <string>

#include "arena/Arena.h"
#include "replay/Replay.h"

int main(int argc, char** argv)
{
    CReplayPlayer player;
    std::string error = "usage: vexlor_replay_check FILE";
    if (argc != 2 || !player.Load(argv[1], error)) {
        std::fprintf(stderr, "vexlor_replay_check: %s\n", error.c_str());
        return 2;
    }
    // The arena is large; it lives for the whole run.
    static CArena game;
    game.BeginSession(player.m_replay.m_header.m_seed, player.m_replay.m_header.m_startSecond);
    CTickInput input;
    while (player.Next(input)) {
        game.Step(input);
        player.Check(game);
        if (game.m_clock.m_tick % replay::kCheckpointEvery == 0)
            std::printf("tick %u %016llx\n", game.m_clock.m_tick, static_cast<unsigned long long>(game.Hash()));
    }
    return player.m_diverged || player.m_matched != player.m_replay.m_checkpoints.size() ? 1 : 0;
}
