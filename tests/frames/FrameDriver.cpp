// The frame-for-frame driver: a detached arena, a pinned clock and a fixed input script,
// fed through the same entry points a backend uses (the key table and key messages, the
// timer, size and paint events). Every 100 ticks it prints a hash of the whole frame, so
// that two builds of the game (natively and for the browser) can be compared line by line.
// The colour-blind palette is switched on and off every 1000 ticks.
//
// Usage: vexlor_frames [TICKS]   (10000 by default)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "app/PlayerOptions.h"
#include "arena/ArenaView.h"
#include "core/RandomRange.h"
#include "platform/wnd/Backend.h"

namespace {

constexpr int kDefaultTicks = 10000;
constexpr int kHashEvery = 100;
constexpr int kPaletteEvery = 1000;
constexpr int kTicksPerSecond = 40;
constexpr std::int32_t kFirstSecond = 1'700'000'000;

int s_tick = 0;

// The calendar second moves on with the game's ticks, as a real clock would.
std::int32_t PinnedClock() { return kFirstSecond + s_tick / kTicksPerSecond; }

// The script's own generator, so that the input never depends on the game's.
class CScriptGenerator
{
public:
    std::uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    bool OneIn(std::uint32_t n) { return Next() % n == 0; }

    std::uint32_t m_state = 0x9E3779B9u;
};

// The keys the players hold, and the keys that act when they are released.
constexpr UINT kHeldKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, 'W', 'A', 'S', 'D', VK_SPACE,
                              VK_NUMPAD8, VK_NUMPAD5, VK_NUMPAD4, VK_NUMPAD6, VK_ADD, 'J', 'K', 'L'};
constexpr UINT kSwitchKeys[] = {VK_F1, VK_F2, VK_F3, VK_F4, VK_PRIOR, VK_NEXT};

// Client sizes the arena goes through, one every kResizeEvery ticks: small, large, odd, empty.
constexpr CSize kSizes[] = {{800, 600}, {1280, 720}, {333, 251}, {0, 0}, {640, 480}, {1920, 1080}, {97, 601}};
constexpr int kResizeEvery = 1500;
constexpr int kKeyboardLostEvery = 2300;
// A pause of kPauseLength ticks in every kPauseEvery.
constexpr int kPauseEvery = 1000;
constexpr int kPauseAt = 700;
constexpr int kPauseLength = 60;

// A scan code per key, unique and within the key table's range.
std::uint32_t ScanCode(UINT key) { return 8u + (key & 0xFFu); }

void Key(CArenaView& view, UINT key, bool pressed, bool autoRepeat = false)
{
    NativeKey(&view, key, ScanCode(key), pressed, autoRepeat);
}

void Resize(CArenaView& view, CSize size)
{
    view.SetDetachedClientSize(size.cx, size.cy);
    NativeSize(view, size);
}

// What a backend's paint event does, less the native window that NativePaint requires.
void Paint(CArenaView& view)
{
    view.m_invalidated = false;
    view.m_eraseRequested = false;
    view.SendMessage(WM_PAINT, 0, 0);
}

// FNV-1a over the frame's size and its pixels, each pixel as its 32-bit value.
std::uint64_t HashFrame(const CBitmap& frame)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const auto mix = [&hash](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (value >> shift) & 0xFFu;
            hash *= 0x100000001B3ull;
        }
    };
    mix(std::uint32_t(frame.m_width));
    mix(std::uint32_t(frame.m_height));
    const std::int64_t count = std::int64_t(frame.m_width) * frame.m_height;
    for (std::int64_t i = 0; i < count; ++i)
        mix(frame.m_pixels[i]);
    return hash;
}

}  // namespace

int main(int argc, char** argv)
{
    const int ticks = argc > 1 ? std::atoi(argv[1]) : kDefaultTicks;
    g_calendarClock = PinnedClock;

    // The arena is large; it lives for the whole run.
    static CArenaView view;
    CPlayerOptions options;
    view.m_options = &options;
    CScriptGenerator script;
    bool held[std::size(kHeldKeys)] = {};
    std::size_t nextSize = 0;

    Resize(view, kSizes[nextSize++]);
    Paint(view);
    for (s_tick = 1; s_tick <= ticks; ++s_tick) {
        if (s_tick % kResizeEvery == 0) {
            Resize(view, kSizes[nextSize]);
            nextSize = (nextSize + 1) % std::size(kSizes);
            view.Invalidate(true);
        }
        if (s_tick % kPaletteEvery == 0) {
            options.ToggleColourBlind();
            view.Invalidate(true);
        }
        if (s_tick % kKeyboardLostEvery == 0) {
            NativeKeyboardLost();
            std::fill(std::begin(held), std::end(held), false);
        }
        if (script.OneIn(6)) {
            const std::size_t k = script.Next() % std::size(kHeldKeys);
            held[k] = !held[k];
            Key(view, kHeldKeys[k], held[k]);
        }
        if (script.OneIn(40)) {
            // Auto-repeat of a held key: a key-down message again, the table unchanged.
            const std::size_t k = script.Next() % std::size(kHeldKeys);
            if (held[k])
                Key(view, kHeldKeys[k], true, true);
        }
        if (s_tick % kPauseEvery == kPauseAt || s_tick % kPauseEvery == kPauseAt + kPauseLength) {
            Key(view, 'P', true);
            Key(view, 'P', false);
        }
        if (script.OneIn(150)) {
            const UINT key = kSwitchKeys[script.Next() % std::size(kSwitchKeys)];
            Key(view, key, true);
            Key(view, key, false);
        }

        NativeTimer(view, CArenaView::kTimerId);
        // A backend paints only what was invalidated: nothing while the game is paused.
        if (view.m_invalidated)
            Paint(view);
        if (s_tick % kHashEvery == 0)
            std::printf("tick %d %dx%d %016llx\n", s_tick, view.m_memBitmap.m_width, view.m_memBitmap.m_height,
                        static_cast<unsigned long long>(HashFrame(view.m_memBitmap)));
    }
    return 0;
}
