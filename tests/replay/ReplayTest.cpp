// Replay files: a session recorded tick by tick plays back to the same hashes; a file that
// is missing, cut short, of another format or garbage is refused with one line and nothing kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "arena/Arena.h"
#include "replay/Replay.h"
#include "support/TestSupport.h"

namespace {

class ReplayFile : public testsupport::PinnedRandomTest
{
protected:
    ~ReplayFile() override { std::remove(m_path.c_str()); }

    // Records `ticks` ticks of a session: ship 1 turns and fires in bursts, F2 and P switch
    // now and then, and the arena changes size once; returns the hashes after each tick.
    std::vector<std::uint64_t> Record(std::uint32_t ticks)
    {
        CReplayRecorder recorder;
        std::string error;
        EXPECT_TRUE(recorder.Open(m_path.c_str(), 77u, 1'700'000'000, error)) << error;
        CArena game;
        game.BeginSession(77u, 1'700'000'000);
        std::vector<std::uint64_t> hashes;
        for (std::uint32_t t = 0; t < ticks; ++t) {
            CTickInput input;
            input.m_seats[0] = (t / 50) % 2 ? kSeatLeft | kSeatFire : 0;
            if (t % 333 == 5)
                input.AddSwitch(t % 2 ? 'P' : 0x71);
            input.m_resize = t == 0 || t == 400;
            input.m_width = std::uint16_t(t == 0 ? 800 : 640);
            input.m_height = 480;
            game.Step(input);
            recorder.Record(input, game);
            hashes.push_back(game.Hash());
        }
        return hashes;
    }

    // Loads the recording and plays it back, checked, into a game begun with this seed (the
    // file's own by default); answers the hash after each tick.
    std::vector<std::uint64_t> PlayBack(CReplayPlayer& player, std::optional<std::uint32_t> seed = {})
    {
        std::string error;
        EXPECT_TRUE(player.Load(m_path.c_str(), error)) << error;
        CArena game;
        game.BeginSession(seed.value_or(player.m_replay.m_header.m_seed), player.m_replay.m_header.m_startSecond);
        std::vector<std::uint64_t> hashes;
        for (CTickInput input; player.Next(input);) {
            game.Step(input);
            player.Check(game);
            hashes.push_back(game.Hash());
        }
        return hashes;
    }

    std::vector<std::uint8_t> Bytes() const
    {
        std::ifstream file(m_path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // One file a process: test runs side by side must not share it.
    std::string m_path = testing::TempDir() + "vexlor-replay-test-" + std::to_string(getpid()) + ".vxr";
};

}  // namespace

TEST_F(ReplayFile, PlaysBackTickForTickWithEveryHashMatching)
{
    const std::vector<std::uint64_t> recorded = Record(1234);
    g_randomGenerator.m_state = 1;  // the replay seeds the generator itself
    CReplayPlayer player;
    EXPECT_EQ(PlayBack(player), recorded);
    const CReplayHeader& header = player.m_replay.m_header;
    EXPECT_EQ(std::tuple(header.m_ticks, header.m_seed, header.m_startSecond, player.m_replay.m_checkpoints.size()),
              std::tuple(1234u, 77u, 1'700'000'000, std::size_t(12)));
    EXPECT_EQ(player.FirstSize(), (CSize{800, 480}));
    EXPECT_EQ(std::tuple(player.m_next, player.m_matched, player.m_diverged), std::tuple(1234u, 12u, false));
    // Runs of unchanged ticks take a byte each: the 1 234 ticks fit in a few hundred bytes.
    EXPECT_LT(Bytes().size(), 500u);
}

TEST_F(ReplayFile, AGameThatDiffersFromTheRecordingIsReportedOnce)
{
    Record(300);
    CReplayPlayer player;
    PlayBack(player, 78u);  // another seed: another game
    EXPECT_TRUE(player.m_diverged);
    EXPECT_EQ(player.m_matched, 0u);
}

TEST_F(ReplayFile, RefusesWhatIsNotAWholeReplayWithOneLineAndKeepsNothing)
{
    Record(250);
    const std::vector<std::uint8_t> good = Bytes();
    const auto with = [&good](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    // 150 ticks, then a hash where none belongs: hashes follow every 100th tick only.
    std::vector<std::uint8_t> early(good.begin(), good.begin() + CReplayHeader::kSize);
    early[10] = 150;
    early[11] = early[12] = early[13] = 0;
    early.insert(early.end(), {0x80 | 127, 0x80 | 23, 0x40, 0, 0, 0, 0, 0, 0, 0, 0});
    const struct { std::vector<std::uint8_t> bytes; const char* says; } cases[] = {
        {early, "a misplaced hash"},
        {{}, "not a Vexlor replay"},
        {{'G', 'I', 'F', '8', '9', 'a'}, "not a Vexlor replay"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 12), "ends inside its header"},
        {with(4, 2), "format version 2; this game plays version 1"},
        {std::vector<std::uint8_t>(good.begin(), good.end() - 1), "cut short"},
        {with(10, 251), "cut short: it ends at tick 250 of the 251"},
        {with(10, 249), "more ticks than the 249"},
        {with(CReplayHeader::kSize, 0x08), "damaged at byte 22"},
        {with(CReplayHeader::kSize, 0x80), "damaged at byte 22"},
    };
    for (const auto& [bytes, says] : cases) {
        CReplayPlayer player;
        std::string error;
        EXPECT_FALSE(player.Load(bytes, error));
        EXPECT_NE(error.find(says), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_TRUE(player.m_replay.m_ticks.empty() && player.m_replay.m_checkpoints.empty());
    }
    CReplayPlayer player;
    std::string error;
    EXPECT_FALSE(player.Load("/nonexistent/vexlor.vxr", error));
    EXPECT_EQ(error, "cannot read the replay /nonexistent/vexlor.vxr: No such file or directory");
}
