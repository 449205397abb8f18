// The arena's costs: one tick of a busy arena, the save, restore and hash of its state and
// a rollback of 8 ticks, the paint of a whole frame into the
// memory surface, and the floor no frame can beat: clearing that same surface.
//
// The floor is the fastest fill of the machine: the C library's wide-character fill,
// which writes a 32-bit pattern as fast as memset writes bytes. A plain std::fill at -O2
// is a loop of single stores, several times slower, and in blocks of a fixed length
// (as the surface fills) it gets vector stores; both are measured beside it.
//
// Each benchmark times its own region with the monotonic clock (manual time), so the
// scene can be re-armed between iterations without being counted, and records every
// sample to report the true median and 99th percentile beside the mean (which a busy
// machine's preemptions inflate). Text needs the GUI application the benchmarks' main makes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "arena/ArenaView.h"
#include "core/RandomRange.h"
#include "platform/wnd/Keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kPinnedSeconds = 1'700'000'000;
constexpr std::uint32_t kPinnedGeneratorState = 0x2545F491u;
// Lives far beyond any run, so that nothing of the scene expires while it is timed.
constexpr int kLongLife = 1'000'000;

std::int32_t PinnedCalendarSeconds() { return kPinnedSeconds; }

constexpr std::uint32_t kBlackPixel = 0xFF000000u;  // black as the surface stores it
static_assert(sizeof(wchar_t) == sizeof(std::uint32_t), "the fastest fill writes 32-bit wide characters");

void FastestFill(std::uint32_t* pixels, std::size_t count)
{
    std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(kBlackPixel), count);
}

void PlainFill(std::uint32_t* pixels, std::size_t count) { std::fill(pixels, pixels + count, kBlackPixel); }

void BlockFill(std::uint32_t* pixels, std::size_t count)
{
    constexpr std::size_t kBlock = 16;
    for (; count >= kBlock; count -= kBlock, pixels += kBlock)
        std::fill(pixels, pixels + kBlock, kBlackPixel);
    std::fill(pixels, pixels + count, kBlackPixel);
}

// The scene's layout comes from a generator of its own, so that arranging it leaves
// the game's generator alone.
class LayoutRandom
{
public:
    explicit LayoutRandom(std::uint32_t seed) : m_state(seed) {}

    double Between(double lo, double hi)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return lo + (hi - lo) * (static_cast<double>(m_state >> 8) / 16777216.0);
    }

private:
    std::uint32_t m_state;
};

void ArmBullet(CBullet& bullet, LayoutRandom& random, int width, int height)
{
    bullet.m_active = true;
    bullet.m_life = kLongLife;
    bullet.m_position = CVector2(random.Between(0, width), random.Between(0, height));
    bullet.m_velocity = CVector2(random.Between(-6, 6), random.Between(-6, 6));
}

// Six ships in play on autopilot, every bullet slot of the ships and the sentry in
// flight, four power-ups drifting and six explosions running.
void ArmBusyScene(CArenaView& arena, int width, int height)
{
    LayoutRandom random(20240611u);
    arena.m_shipCount = CArenaView::kShipSlots;
    arena.m_paused = false;
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        CShip& ship = arena.m_ships[i];
        ship.m_autopilot = true;
        ship.m_target = (i + 1) % CArenaView::kShipSlots;
        ship.m_position = CVector2(width * (i + 0.5) / CArenaView::kShipSlots, height * (0.3 + 0.1 * (i % 3)));
        ship.m_velocity = CVector2(random.Between(-3, 3), random.Between(-3, 3));
        ship.m_heading = CVector2(5.0, 5.0);
        ship.m_heading.Rotate(60.0 * i);
        ship.m_hitPoints = CShip::kFullHitPoints;
        ship.m_boostTimer = (i % 2 == 0) ? 0 : 40;
        ship.m_invulnerableTimer = (i % 3 == 0) ? 30 : 0;
        ship.m_cooldown = 0;
        ship.m_hit = (i % 2 == 1);
        for (CBullet& bullet : ship.m_bullets)
            ArmBullet(bullet, random, width, height);
    }
    arena.m_sentry.m_autopilot = true;
    arena.m_sentry.m_position = CVector2(width * 0.5, height * 0.8);
    arena.m_sentry.m_hitPoints = CSentry::kHitPoints;
    for (CBullet& bullet : arena.m_sentry.m_bullets)
        ArmBullet(bullet, random, width, height);
    for (CPowerUp& powerUp : arena.m_powerUps) {
        powerUp.Spawn(CPoint(int(random.Between(0, width)), int(random.Between(0, height))), CPoint(1, 1),
                      CPoint(5, 0));
        powerUp.m_life = kLongLife;
    }
    for (int i = 0; i < CArenaView::kShipSlots; ++i) {
        CExplosion& explosion = arena.m_explosions[i];
        explosion.Start(arena.m_ships[i]);
        explosion.m_ticksLeft = kLongLife;
        for (CBullet& particle : explosion.m_particles)
            particle.m_life = kLongLife;
    }
}

void PinRandomness()
{
    g_calendarClock = PinnedCalendarSeconds;
    g_randomGenerator.m_state = kPinnedGeneratorState;
}

// A detached arena with a surface of the given size, its whole scene armed.
void PrepareArena(CArenaView& arena, int width, int height)
{
    PinRandomness();
    KeyboardReleaseAll();
    arena.SetDetachedClientSize(width, height);
    arena.OnSize(SIZE_RESTORED, width, height);
    ArmBusyScene(arena, width, height);
    arena.m_size = CSize{width, height};
    arena.m_random = g_randomGenerator;
}

// Samples in seconds, reported as median and 99th percentile in microseconds.
class Samples
{
public:
    explicit Samples(benchmark::IterationCount expected) { m_values.reserve(static_cast<std::size_t>(expected)); }

    void Add(double seconds) { m_values.push_back(seconds); }

    double PercentileMicroseconds(double fraction)
    {
        if (m_values.empty())
            return 0.0;
        const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(m_values.size() - 1));
        std::nth_element(m_values.begin(), m_values.begin() + static_cast<std::ptrdiff_t>(rank), m_values.end());
        return m_values[rank] * 1e6;
    }

private:
    std::vector<double> m_values;
};

double SecondsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

int CountActive(const CBullet* bullets, int count)
{
    return static_cast<int>(std::count_if(bullets, bullets + count, [](const CBullet& b) { return b.m_active; }));
}

void BM_ArenaTickBusy(benchmark::State& state)
{
    CArenaView arena;
    PrepareArena(arena, 800, 600);
    const CArena snapshot = arena;

    Samples samples(state.max_iterations);
    for (auto _ : state) {
        arena.Restore(snapshot);
        const Clock::time_point start = Clock::now();
        arena.OnTimer(CArenaView::kTimerId);
        const Clock::time_point end = Clock::now();
        benchmark::DoNotOptimize(arena.m_ships[0].m_position);
        const double seconds = SecondsBetween(start, end);
        state.SetIterationTime(seconds);
        samples.Add(seconds);
    }

    // What one measured tick had to handle, to show that it stayed busy.
    arena.Restore(snapshot);
    arena.OnTimer(CArenaView::kTimerId);
    int shipBullets = 0;
    for (const CShip& ship : arena.m_ships)
        shipBullets += CountActive(ship.m_bullets, CShip::kBulletCount);
    int particles = 0;
    for (const CExplosion& explosion : arena.m_explosions)
        particles += explosion.m_active ? CountActive(explosion.m_particles, CExplosion::kParticleCount) : 0;
    const int powerUps = static_cast<int>(std::count_if(std::begin(arena.m_powerUps), std::end(arena.m_powerUps),
                                                        [](const CPowerUp& p) { return p.m_active; }));

    state.counters["median_us"] = samples.PercentileMicroseconds(0.5);
    state.counters["p99_us"] = samples.PercentileMicroseconds(0.99);
    state.counters["ship_bullets"] = shipBullets;
    state.counters["sentry_bullets"] = CountActive(arena.m_sentry.m_bullets, CSentry::kBulletCount);
    state.counters["power_ups"] = powerUps;
    state.counters["particles"] = particles;
}
BENCHMARK(BM_ArenaTickBusy)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The game as a value: save (a copy), restore and hash of the busy arena, timed together.
void BM_ArenaSaveRestoreHash(benchmark::State& state)
{
    CArenaView arena;
    PrepareArena(arena, 800, 600);
    static CArena saved;
    Samples samples(state.max_iterations);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        saved = arena;
        arena.Restore(saved);
        benchmark::DoNotOptimize(arena.Hash());
        const double seconds = SecondsBetween(start, Clock::now());
        state.SetIterationTime(seconds);
        samples.Add(seconds);
    }
    state.counters["median_us"] = samples.PercentileMicroseconds(0.5);
    state.counters["bytes"] = sizeof(CArena);
}
BENCHMARK(BM_ArenaSaveRestoreHash)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A rollback of 8 busy ticks as an online session makes one: the state of 8 ticks back
// restored, then each tick run again from its input, saved and hashed.
void BM_ArenaRollback8(benchmark::State& state)
{
    constexpr int kTicks = 8;
    CArenaView arena;
    PrepareArena(arena, 800, 600);
    static CArena states[kTicks + 1];
    states[0] = arena;
    CTickInput input;
    input.m_seats[0] = kSeatLeft | kSeatFire;
    Samples samples(state.max_iterations);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        arena.Restore(states[0]);
        for (int t = 1; t <= kTicks; ++t) {
            arena.Step(input);
            states[t] = arena;
            benchmark::DoNotOptimize(arena.Hash());
        }
        const double seconds = SecondsBetween(start, Clock::now());
        state.SetIterationTime(seconds);
        samples.Add(seconds);
    }
    state.counters["median_us"] = samples.PercentileMicroseconds(0.5);
}
BENCHMARK(BM_ArenaRollback8)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The sizes the paint and the floor are measured at.
void AtBothSizes(benchmark::internal::Benchmark* run)
{
    run->Args({800, 600})->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMicrosecond);
}

// The whole paint of a frame, and in the same loop the floor on the same surface, so
// that both see the same caches and the ratio of their medians is a fair one.
void BM_ArenaPaint(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    CArenaView arena;
    PrepareArena(arena, width, height);
    std::uint32_t* const pixels = arena.m_memBitmap.m_pixels.get();
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    Samples paints(state.max_iterations);
    Samples floors(state.max_iterations);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        arena.OnPaint();
        const Clock::time_point painted = Clock::now();
        benchmark::ClobberMemory();
        const double seconds = SecondsBetween(start, painted);
        state.SetIterationTime(seconds);
        paints.Add(seconds);

        const Clock::time_point fillStart = Clock::now();
        FastestFill(pixels, pixelCount);
        benchmark::ClobberMemory();
        floors.Add(SecondsBetween(fillStart, Clock::now()));
    }
    const double paintMedian = paints.PercentileMicroseconds(0.5);
    const double floorMedian = floors.PercentileMicroseconds(0.5);
    state.counters["median_us"] = paintMedian;
    state.counters["p99_us"] = paints.PercentileMicroseconds(0.99);
    state.counters["floor_median_us"] = floorMedian;
    state.counters["paint_over_floor"] = floorMedian > 0.0 ? paintMedian / floorMedian : 0.0;
}
BENCHMARK(BM_ArenaPaint)->Apply(AtBothSizes);

// One busy tick's frame drawn the game's way (the clear fills only what the last frame
// drew) against a full clear of the same surface with FillSolidRect, in the same loop.
// Each iteration ticks first (untimed), so every frame draws a moved scene over the last.
void BM_ArenaTickFrame(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    CArenaView arena;
    PrepareArena(arena, width, height);
    CBitmap clearOnly;
    CDC clearDC;
    clearDC.CreateCompatibleDC(nullptr);
    clearOnly.CreateCompatibleBitmap(&clearDC, width, height);
    clearDC.SelectObject(&clearOnly);
    const CArena snapshot = arena;
    arena.OnPaint();

    Samples frames(state.max_iterations);
    Samples clears(state.max_iterations);
    long long drawn = 0;
    int ticks = 0;
    COLORREF colour = 0;
    for (auto _ : state) {
        // The scene restarts now and then, so that it stays as busy as it began.
        if (++ticks % 200 == 0)
            arena.Restore(snapshot);
        arena.OnTimer(CArenaView::kTimerId);
        const Clock::time_point start = Clock::now();
        arena.OnPaint();
        const Clock::time_point painted = Clock::now();
        benchmark::ClobberMemory();
        const double seconds = SecondsBetween(start, painted);
        state.SetIterationTime(seconds);
        frames.Add(seconds);
        drawn += arena.m_memBitmap.m_drawn.Area();

        const Clock::time_point clearStart = Clock::now();
        clearDC.FillSolidRect(0, 0, width, height, colour++);
        benchmark::ClobberMemory();
        clears.Add(SecondsBetween(clearStart, Clock::now()));
    }
    const double frameMedian = frames.PercentileMicroseconds(0.5);
    const double clearMedian = clears.PercentileMicroseconds(0.5);
    state.counters["median_us"] = frameMedian;
    state.counters["p99_us"] = frames.PercentileMicroseconds(0.99);
    state.counters["clear_median_us"] = clearMedian;
    state.counters["frame_over_clear"] = clearMedian > 0.0 ? frameMedian / clearMedian : 0.0;
    state.counters["drawn_share"] =
        static_cast<double>(drawn) / (static_cast<double>(state.iterations()) * width * height);
}
BENCHMARK(BM_ArenaTickFrame)->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMicrosecond);

// The floor alone, and beside it the two ways of filling with std::fill.
template <void (*Fill)(std::uint32_t*, std::size_t)>
void BM_FrameFloor(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    CArenaView arena;
    PrepareArena(arena, width, height);
    std::uint32_t* const pixels = arena.m_memBitmap.m_pixels.get();
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    Samples samples(state.max_iterations);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Fill(pixels, pixelCount);
        benchmark::ClobberMemory();
        const double seconds = SecondsBetween(start, Clock::now());
        state.SetIterationTime(seconds);
        samples.Add(seconds);
    }
    state.counters["median_us"] = samples.PercentileMicroseconds(0.5);
    state.counters["p99_us"] = samples.PercentileMicroseconds(0.99);
}
BENCHMARK(BM_FrameFloor<FastestFill>)->Name("BM_FrameFloor")->Apply(AtBothSizes);
BENCHMARK(BM_FrameFloor<BlockFill>)->Name("BM_FrameFloorStdFillBlocks")->Apply(AtBothSizes);
BENCHMARK(BM_FrameFloor<PlainFill>)->Name("BM_FrameFloorStdFillPlain")->Apply(AtBothSizes);

}  // namespace
