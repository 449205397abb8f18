// libFuzzer target: the input bytes become a session at the arena (key presses and
// releases, resizes down to 0 x 0, pauses, ticks and the odd painted frame) on a fresh
// detached arena, and every tick is checked against the invariants of the soak run.
// A broken rule aborts, so libFuzzer keeps the input that broke it.
//
// Never a key-down of Escape: that ends the process, as it should.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "arena/ArenaView.h"
#include "core/RandomRange.h"
#include "platform/wnd/Keyboard.h"
#include "soak/ArenaInvariants.h"

namespace {

constexpr std::int32_t kPinnedSeconds = 1'700'000'000;
constexpr int kMaxWidth = 4000;
constexpr int kMaxHeight = 3000;
// Bounds that keep one input fast: ticks in all, and the area of a painted frame.
constexpr int kMaxTicksPerInput = 1000;
constexpr int kMaxPaintArea = 640 * 480;
constexpr int kModestSide = 640;
constexpr int kStartWidth = 320;
constexpr int kStartHeight = 240;

std::int32_t PinnedCalendarSeconds() { return kPinnedSeconds; }

// The game's keys first, so that most choices land on one; any other byte is a key too.
constexpr UINT kGameKeys[] = {
    VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_RETURN, 'A', 'D', 'S', 'W', VK_SPACE,
    VK_NUMPAD4, VK_NUMPAD6, VK_NUMPAD5, VK_NUMPAD8, VK_ADD, 'J', 'K', 'L',
    'P', VK_F1, VK_F2, VK_F3, VK_F4, VK_PRIOR, VK_NEXT, VK_ESCAPE,
};
constexpr int kGameKeyCount = static_cast<int>(sizeof kGameKeys / sizeof kGameKeys[0]);

class Input
{
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_at >= m_size; }
    std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int Word() { return Byte() | (Byte() << 8); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

UINT PickKey(Input& input)
{
    const int choice = input.Byte();
    return choice < 2 * kGameKeyCount ? kGameKeys[choice % kGameKeyCount] : static_cast<UINT>(input.Byte());
}

// A side of 0 (a minimised window) and the largest side come up often; otherwise half
// the sides are modest, since making a large surface is what costs an input most.
int PickSide(Input& input, int max)
{
    const int raw = input.Word();
    const int kind = raw % 8;
    if (kind == 0)
        return 0;
    if (kind == 1)
        return max;
    if (kind <= 5)
        return raw / 8 % (kModestSide + 1);
    return raw / 8 % (max + 1);
}

[[noreturn]] void Broken(const std::string& what, int width, int height)
{
    std::fprintf(stderr, "arena rule broken, client %dx%d: %s\n", width, height, what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text is drawn by Qt's font engine, which needs a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    g_calendarClock = PinnedCalendarSeconds;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    g_randomGenerator.m_state = static_cast<std::uint32_t>(input.Word()) * 65537u + 1u;
    KeyboardReleaseAll();

    CArenaView arena;
    int width = kStartWidth;
    int height = kStartHeight;
    arena.SetDetachedClientSize(width, height);
    arena.OnSize(SIZE_RESTORED, width, height);

    int ticksLeft = kMaxTicksPerInput;
    soak::ArenaState before;
    while (!input.Empty() && ticksLeft > 0) {
        switch (input.Byte() % 8) {
        case 0: {  // a key goes down (auto-repeated or not)
            const UINT key = PickKey(input);
            const std::uint8_t flags = input.Byte();
            KeyboardPress(key, flags >> 1, (flags & 1) != 0);
            if (key != VK_ESCAPE)
                arena.OnKeyDown(key, 1, 0);
            break;
        }
        case 1: {  // a key comes up, maybe reported as another key than it pressed
            const UINT key = PickKey(input);
            const std::uint8_t flags = input.Byte();
            const UINT released = KeyboardRelease(key, flags >> 1, (flags & 1) != 0);
            if (released != 0)
                arena.OnKeyUp(released, 1, 0);
            break;
        }
        case 2:  // the window is resized
            width = PickSide(input, kMaxWidth);
            height = PickSide(input, kMaxHeight);
            arena.SetDetachedClientSize(width, height);
            arena.OnSize(SIZE_RESTORED, width, height);
            break;
        case 3:  // pause or resume
            arena.OnKeyUp('P', 1, 0);
            break;
        case 4:  // the application loses the focus
            KeyboardReleaseAll();
            break;
        case 5:  // a frame is painted
            if (static_cast<long long>(width) * height <= kMaxPaintArea)
                arena.OnPaint();
            break;
        default: {  // some ticks
            const int count = 1 + input.Byte() % 64;
            for (int t = 0; t < count && ticksLeft > 0; ++t, --ticksLeft) {
                before.Take(arena);
                arena.OnTimer(CArenaView::kTimerId);
                const std::string broken = soak::CheckTick(before, arena, width, height);
                if (!broken.empty())
                    Broken(broken, width, height);
            }
            break;
        }
        }
    }
    return 0;
}
