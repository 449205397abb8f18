// A long headless run of the arena: six ships and the sentry on autopilot, random keys
// held and released, random client sizes from 0 x 0 to 4000 x 3000 every few hundred
// ticks, a frame painted now and then at modest sizes, and the invariants of
// ArenaInvariants.h checked after every tick.
//
// Usage: vexlor_soak [TICKS [SEED]]   (or VEXLOR_SOAK_TICKS; default 10 000 000 ticks)
// Exits 0 and prints "1 passed, 0 failed" when every tick held, else prints the first
// broken rule with the tick and the seed that reproduce it and exits 1.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "arena/ArenaView.h"
#include "core/RandomRange.h"
#include "platform/wnd/Keyboard.h"
#include "soak/ArenaInvariants.h"

namespace {

constexpr long long kDefaultTicks = 10'000'000;
constexpr std::uint64_t kDefaultSeed = 1;
constexpr std::int32_t kPinnedSeconds = 1'700'000'000;
constexpr int kMaxWidth = 4000;
constexpr int kMaxHeight = 3000;
// Painting is the slow part; frames are drawn only at sizes a window really has.
constexpr int kPaintMaxWidth = 1280;
constexpr int kPaintMaxHeight = 1024;

std::int32_t PinnedCalendarSeconds() { return kPinnedSeconds; }

// The soak's own choices come from a generator of their own (splitmix64), so that they
// never disturb the game's.
class SoakRandom
{
public:
    explicit SoakRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // lo..hi inclusive.
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool Chance(int percent) { return Between(0, 99) < percent; }

private:
    std::uint64_t m_state;
};

// Every key the game reads or acts on, Escape left out: its key-down ends the process.
constexpr UINT kGameKeys[] = {
    VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN,                 // ship 1
    'A', 'D', 'S', 'W', VK_SPACE,                                 // ship 2
    VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, VK_NUMPAD8, VK_ADD,       // ship 3
    'J', 'K', 'L',                                                // the sentry
};

std::uint32_t ScanCodeOf(UINT virtualKey) { return virtualKey + 8; }

void Press(CArenaView& arena, UINT virtualKey)
{
    KeyboardPress(virtualKey, ScanCodeOf(virtualKey), false);
    arena.OnKeyDown(virtualKey, 1, 0);
}

void Release(CArenaView& arena, UINT virtualKey)
{
    const UINT released = KeyboardRelease(virtualKey, ScanCodeOf(virtualKey), false);
    if (released != 0)
        arena.OnKeyUp(released, 1, 0);
}

// A key pressed and released at once, as the switch keys are used.
void Tap(CArenaView& arena, UINT virtualKey)
{
    Press(arena, virtualKey);
    Release(arena, virtualKey);
}

void Resize(CArenaView& arena, int width, int height)
{
    arena.SetDetachedClientSize(width, height);
    arena.OnSize(SIZE_RESTORED, width, height);
}

int PickSide(SoakRandom& random, int max, int modest)
{
    const int kind = random.Between(0, 9);
    if (kind == 0)
        return 0;
    if (kind <= 5)
        return random.Between(1, modest);
    return random.Between(1, max);
}

// Most of the time all six ships and the sentry fly on autopilot; now and then one of
// the keyboard's ships or the sentry is handed to the held keys, or fewer ships play.
void ChooseControls(CArenaView& arena, SoakRandom& random)
{
    const UINT switchKeys[] = {VK_F1, VK_F2, VK_F3};
    for (int i = 0; i < 3; ++i) {
        const bool wanted = !random.Chance(15);
        if (arena.m_ships[i].m_autopilot != wanted)
            Tap(arena, switchKeys[i]);
    }
    const bool sentryWanted = !random.Chance(15);
    if (arena.m_sentry.m_autopilot != sentryWanted)
        Tap(arena, VK_F4);
    const int wantedCount = random.Chance(80) ? CArenaView::kShipSlots : random.Between(2, CArenaView::kShipSlots);
    while (arena.m_shipCount < wantedCount)
        Tap(arena, VK_PRIOR);
    while (arena.m_shipCount > wantedCount)
        Tap(arena, VK_NEXT);
}

long long ParseCount(const char* text, long long fallback)
{
    if (text == nullptr || *text == '\0')
        return fallback;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return (*end == '\0' && value > 0) ? value : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const long long ticks = ParseCount(argc > 1 ? argv[1] : std::getenv("VEXLOR_SOAK_TICKS"), kDefaultTicks);
    const long long seedArgument = ParseCount(argc > 2 ? argv[2] : nullptr, static_cast<long long>(kDefaultSeed));
    if (ticks <= 0 || seedArgument <= 0) {
        std::fprintf(stderr, "usage: vexlor_soak [TICKS [SEED]]  (both positive whole numbers)\n");
        return 2;
    }
    const auto seed = static_cast<std::uint64_t>(seedArgument);

    g_calendarClock = PinnedCalendarSeconds;
    g_randomGenerator.m_state = static_cast<std::uint32_t>(seed);
    KeyboardReleaseAll();
    SoakRandom random(seed);

    CArenaView arena;
    int width = 800;
    int height = 600;
    Resize(arena, width, height);
    ChooseControls(arena, random);

    long long nextPhase = 0;
    long long resizes = 0;
    long long paints = 0;
    long long pauses = 0;
    soak::ArenaState before;
    for (long long tick = 0; tick < ticks; ++tick) {
        if (tick == nextPhase) {
            nextPhase = tick + random.Between(100, 600);
            width = PickSide(random, kMaxWidth, kPaintMaxWidth);
            height = PickSide(random, kMaxHeight, kPaintMaxHeight);
            Resize(arena, width, height);
            ++resizes;
            ChooseControls(arena, random);
        }
        if (random.Chance(10)) {
            const UINT key = kGameKeys[random.Between(0, static_cast<int>(std::size(kGameKeys)) - 1)];
            if (random.Chance(50))
                Press(arena, key);
            else
                Release(arena, key);
        }
        if (random.Chance(1) && random.Chance(5)) {
            Tap(arena, 'P');
            ++pauses;
        }
        // A pause lasts a few ticks at most, so the game keeps running.
        if (arena.m_paused && random.Chance(30))
            Tap(arena, 'P');

        before.Take(arena);
        arena.OnTimer(CArenaView::kTimerId);
        const std::string broken = soak::CheckTick(before, arena, width, height);
        if (!broken.empty()) {
            std::printf("soak: tick %lld of seed %llu, client %dx%d: %s\n", tick, static_cast<unsigned long long>(seed),
                        width, height, broken.c_str());
            std::printf("0 passed, 1 failed\n");
            return 1;
        }

        if (tick % 50 == 0 && width <= kPaintMaxWidth && height <= kPaintMaxHeight) {
            arena.OnPaint();
            ++paints;
        }
    }

    long long deaths = 0;
    for (const CShip& ship : arena.m_ships)
        deaths += ship.m_deaths;
    std::printf("soak: %lld ticks of seed %llu held every rule (%lld resizes, %lld frames painted, %lld pauses, "
                "%lld ship deaths, %d sentry deaths)\n",
                ticks, static_cast<unsigned long long>(seed), resizes, paints, pauses, deaths, arena.m_sentry.m_deaths);
    std::printf("1 passed, 0 failed\n");
    return 0;
}
