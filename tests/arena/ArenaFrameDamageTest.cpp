// The frame drawn the way the game draws it, clearing and showing only what changed,
// against the same frame drawn in full into a fresh surface: equal pixel for pixel after
// every tick of a long, busy session with resizes down to nothing. Beside the surface, a
// screen that receives only what a put hands a window must equal the surface as well.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "arena/ArenaTestKit.h"

namespace {

using ArenaFrameDamage = arenatest::ArenaTest;

CWeapon* const kWeapons[] = {&g_singleShotWeapon, &g_spreadWeapon, &g_ringWeapon, &g_stackedShotWeapon,
                             &g_starBurstWeapon};

// Counts the pixels in which two surfaces of the same size differ.
long long Differences(const CBitmap& a, const CBitmap& b)
{
    if (a.m_width != b.m_width || a.m_height != b.m_height)
        return -1;
    long long count = 0;
    const long long n = static_cast<long long>(a.m_width) * a.m_height;
    for (long long i = 0; i < n; ++i)
        count += a.m_pixels[i] != b.m_pixels[i];
    return count;
}

// A window's view of the bitmap: only what a put hands over reaches it, as the window
// layer decides when it was shown this same bitmap last.
struct Screen
{
    std::vector<std::uint32_t> pixels;
    int width = -1, height = -1;

    void Put(const CBitmap& bitmap)
    {
        CRegion changed;
        bitmap.m_changed.AddTo(changed);
        bitmap.m_drawn.AddTo(changed);
        if (bitmap.m_width != width || bitmap.m_height != height || bitmap.m_shownOn != this) {
            width = bitmap.m_width;
            height = bitmap.m_height;
            pixels.assign(static_cast<std::size_t>(width) * height, 0x12345678u);
            changed = CRegion();
            changed.Add(bitmap.Bounds());
        }
        for (int i = 0; i < changed.m_count; ++i) {
            const CRect& r = changed.m_rects[i];
            for (int y = r.top; y < r.bottom; ++y)
                std::memcpy(&pixels[std::size_t(y) * width + r.left], &bitmap.m_pixels[std::size_t(y) * width + r.left],
                            std::size_t(r.Width()) * 4);
        }
        bitmap.m_changed.Clear();
        bitmap.m_shownOn = this;
    }

    long long Differences(const CBitmap& bitmap) const
    {
        long long count = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            count += pixels[i] != bitmap.m_pixels[i];
        return count;
    }
};

TEST_F(ArenaFrameDamage, EveryTickOfABusySessionEqualsTheFrameDrawnInFull)
{
    CArenaView& arena = Arena();
    arena.m_shipCount = CArenaView::kShipSlots;
    for (CShip& ship : arena.m_ships)
        ship.m_autopilot = true;
    arena.m_sentry.m_autopilot = true;

    // Sizes met in turn, each for a stretch of ticks; 0 x 0 and thin ones among them.
    const CSize sizes[] = {{800, 600}, {0, 0}, {640, 480}, {1, 1}, {1280, 300}, {0, 500}, {333, 777}, {1024, 768}};
    constexpr int kTicksPerSize = 400;
    constexpr int kSizes = static_cast<int>(std::size(sizes));
    Screen screen;
    long long drawnPixels = 0;
    int sparks = 0, debris = 0, powerUps = 0;
    for (int tick = 0; tick < kTicksPerSize * kSizes; ++tick) {
        const CSize size = sizes[tick / kTicksPerSize];
        if (tick % kTicksPerSize == 0)
            Resize(size.cx, size.cy);
        // Now and then every ship gets another weapon, and one of them dies at once, so
        // that the scene keeps every kind of shot, debris and drops.
        if (tick % 50 == 0) {
            for (int i = 0; i < CArenaView::kShipSlots; ++i)
                arena.m_ships[i].m_weapon = kWeapons[(i + tick / 50) % 5];
        }
        if (tick % 97 == 0)
            arena.m_ships[(tick / 97) % CArenaView::kShipSlots].m_hitPoints = 0;
        arena.OnTimer(CArenaView::kTimerId);
        // Drawing a ship's hit spark clears its flag and draws random numbers: both frames
        // start from the same state.
        bool hits[CArenaView::kShipSlots];
        for (int i = 0; i < CArenaView::kShipSlots; ++i)
            hits[i] = arena.m_ships[i].m_hit;
        const std::uint32_t generator = g_randomGenerator.m_state;
        for (const CShip& ship : arena.m_ships)
            sparks += ship.m_hit;
        arena.OnPaint();
        const std::uint32_t generatorAfter = g_randomGenerator.m_state;
        for (int i = 0; i < CArenaView::kShipSlots; ++i)
            arena.m_ships[i].m_hit = hits[i];
        g_randomGenerator.m_state = generator;

        for (const CExplosion& explosion : arena.m_explosions)
            debris += explosion.m_active;
        for (const CPowerUp& powerUp : arena.m_powerUps)
            powerUps += powerUp.m_active;

        // The reference: the same scene drawn into a fresh surface of another colour, so
        // that the frame's clear must fill all of it.
        CBitmap fresh;
        fresh.CreateCompatibleBitmap(nullptr, size.cx, size.cy);
        CBitmap* const own = arena.m_memDC.SelectObject(&fresh);
        arena.m_memDC.FillSolidRect(fresh.Bounds(), 0x00FF00FF);
        arena.OnPaint();
        arena.m_memDC.SelectObject(own);
        ASSERT_EQ(g_randomGenerator.m_state, generatorAfter);

        ASSERT_EQ(Differences(arena.m_memBitmap, fresh), 0) << "tick " << tick << " at " << size.cx << " x "
                                                           << size.cy;
        drawnPixels += arena.m_memBitmap.m_drawn.Area();
        screen.Put(arena.m_memBitmap);
        ASSERT_EQ(screen.Differences(arena.m_memBitmap), 0) << "tick " << tick;
    }
    // The session was a busy one, and what a frame draws is a small part of the frame.
    EXPECT_GT(sparks, 100);
    EXPECT_GT(debris, 500);
    EXPECT_GT(powerUps, 1000);
    EXPECT_LT(drawnPixels, 800LL * 600 * kTicksPerSize * kSizes / 10);
}

}  // namespace
