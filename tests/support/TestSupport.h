#pragma once
// Shared helpers of the unit tests: a pinned clock and generator, an independent model of
// RandomRange, vector comparison, stand-in bodies and a black memory surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <span>
#include <tuple>
#include <vector>

#include "core/Bullet.h"
#include "core/RandomRange.h"
#include "platform/gdi/DC.h"
#include "platform/wnd/Keyboard.h"

namespace testsupport {

inline std::int32_t g_pinnedSeconds = 1700000000;

// Written from the rules, not from the game's code: seed = rand() * rand() * (t * 7) in
// wrapping 32-bit arithmetic, then draws of rand() mod (hi + 1) until one is at least lo.
struct ReferenceRandom
{
    std::uint32_t m_state;
    std::int32_t m_seconds;

    std::uint32_t Rand() { return ((m_state = m_state * 214013u + 2531011u) >> 16) & 0x7FFFu; }

    int Range(int lo, int hi)
    {
        const std::uint32_t first = Rand();
        m_state = first * Rand() * (std::uint32_t(m_seconds) * 7u);
        if (lo > hi || hi < 0 || lo > 32767)
            return lo;  // no draw could land in lo..hi
        for (;;)
            if (const int r = int(Rand() % (std::uint64_t(hi) + 1)); r >= lo)
                return r;
    }
};

// Every test starts from the same clock second and generator state. They stay pinned
// afterwards, so that no later test reads the real clock.
class PinnedRandomTest : public ::testing::Test
{
protected:
    static constexpr std::uint32_t kStartState = 20240611u;

    PinnedRandomTest()
    {
        g_calendarClock = [] { return g_pinnedSeconds; };
        g_pinnedSeconds = 1700000000;
        g_randomGenerator.m_state = kStartState;
    }
    // A model that starts where the game's generator stands now.
    static ReferenceRandom Reference() { return {g_randomGenerator.m_state, g_pinnedSeconds}; }
};

inline ::testing::AssertionResult Near(const CVector2& v, double x, double y, double tolerance = 1e-9)
{
    if (std::fabs(v.m_x - x) <= tolerance && std::fabs(v.m_y - y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << v.m_x << ", " << v.m_y << ") is not (" << x << ", " << y << ")";
}

// A stand-in target: only position and velocity are read.
inline CBody BodyAt(CVector2 position, CVector2 velocity = {})
{
    CBody body;
    std::tie(body.m_position, body.m_velocity) = std::pair(position, velocity);
    return body;
}

// Whether the key table holds the virtual key down.
inline bool Held(UINT key)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    return (keys[key & 0xFF] & 0x80) != 0;
}

// Every virtual key the key table does not hold plainly up.
inline std::set<UINT> HeldKeys()
{
    BYTE keys[256];
    GetKeyboardState(keys);
    std::set<UINT> held;
    for (UINT key = 0; key < 256; ++key)
        if (keys[key] != 0)
            held.insert(key);
    return held;
}

inline int ActiveBullets(std::span<const CBullet> b) { return int(std::ranges::count(b, true, &CBullet::m_active)); }

using Pixel = std::tuple<int, int, COLORREF>;

// A black memory surface of a given size.
class Surface
{
public:
    Surface(int width, int height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, width, height);
        m_dc.SelectObject(&m_bitmap);
    }

    CDC* Dc() { return &m_dc; }

    // Every pixel that is not black, row by row.
    std::vector<Pixel> Lit() const
    {
        std::vector<Pixel> lit;
        for (int y = 0; y < m_bitmap.m_height; ++y)
            for (int x = 0; x < m_bitmap.m_width; ++x)
                if (const COLORREF colour = m_dc.GetPixel(x, y); colour != RGB(0, 0, 0))
                    lit.emplace_back(x, y, colour);
        return lit;
    }

    // Move to the first point, then a line to each of the others, in a pen of this colour.
    void Path(COLORREF colour, std::initializer_list<CPoint> points)
    {
        CPen pen(PS_SOLID, 1, colour);
        CPen* const previous = m_dc.SelectObject(&pen);
        for (const CPoint& p : points)
            &p == points.begin() ? void(m_dc.MoveTo(p)) : void(m_dc.LineTo(p));
        m_dc.SelectObject(previous);
    }

private:
    CBitmap m_bitmap;  // declared first so that it outlives the context it is selected into
    CDC m_dc;
};

}  // namespace testsupport
