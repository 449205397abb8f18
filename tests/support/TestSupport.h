#pragma once
// Shared helpers of the unit tests: a fixture pinning the clock and the generator behind
// RandomRange, an independent model of RandomRange, and a black memory surface.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/RandomRange.h"
#include "core/Vector2.h"
#include "platform/gdi/DC.h"

namespace testsupport {

inline std::int32_t g_pinnedSeconds = 1700000000;
inline std::int32_t PinnedSeconds() { return g_pinnedSeconds; }

// Written from the rules, not from the game's code: seed = rand() * rand() * (t * 7)
// modulo 2^32, then draws of rand() mod (hi + 1) until one is at least lo.
class ReferenceRandom
{
public:
    ReferenceRandom(std::uint32_t state, std::int32_t seconds) : m_state(state), m_seconds(seconds) {}

    int Rand()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

    int Range(int lo, int hi)
    {
        const std::uint64_t first = static_cast<std::uint64_t>(Rand());
        const std::uint64_t second = static_cast<std::uint64_t>(Rand());
        m_state = static_cast<std::uint32_t>(first * second * (std::uint64_t(std::uint32_t(m_seconds)) * 7u));
        if (lo > hi || hi < 0 || lo > 32767)
            return lo;
        for (;;) {
            const int r = static_cast<int>(Rand() % (static_cast<std::int64_t>(hi) + 1));
            if (r >= lo)
                return r;
        }
    }

    std::uint32_t m_state;
    std::int32_t m_seconds;
};

// Every test starts from the same clock second and generator state and restores both.
// Pinned in the constructor, so that members of derived fixtures are built pinned too.
class PinnedRandomTest : public ::testing::Test
{
protected:
    static constexpr std::uint32_t kStartState = 20240611u;

    PinnedRandomTest()
        : m_savedClock(g_calendarClock), m_savedState(g_randomGenerator.m_state), m_savedSeconds(g_pinnedSeconds)
    {
        g_calendarClock = PinnedSeconds;
        g_randomGenerator.m_state = kStartState;
    }

    ~PinnedRandomTest() override
    {
        g_calendarClock = m_savedClock;
        g_randomGenerator.m_state = m_savedState;
        g_pinnedSeconds = m_savedSeconds;
    }

    // A model that starts where the game's generator stands now.
    static ReferenceRandom Reference() { return ReferenceRandom(g_randomGenerator.m_state, g_pinnedSeconds); }

private:
    const CalendarClock m_savedClock;
    const std::uint32_t m_savedState;
    const std::int32_t m_savedSeconds;
};

inline ::testing::AssertionResult Near(const CVector2& v, double x, double y, double tolerance = 0.0)
{
    if (std::fabs(v.m_x - x) <= tolerance && std::fabs(v.m_y - y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << v.m_x << ", " << v.m_y << ") is not (" << x << ", " << y << ")";
}

// A black memory surface of a given size.
class Surface
{
public:
    Surface(int width, int height) : m_width(width), m_height(height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, width, height);
        m_dc.SelectObject(&m_bitmap);
    }

    CDC* Dc() { return &m_dc; }
    COLORREF Pixel(int x, int y) const { return m_dc.GetPixel(x, y); }
    bool Lit(int x, int y) const { return Pixel(x, y) != RGB(0, 0, 0); }

    std::vector<CPoint> LitPixels() const
    {
        std::vector<CPoint> lit;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Lit(x, y))
                    lit.emplace_back(x, y);
        return lit;
    }

    // Move to the first point, then a line to each of the others, in a pen of this colour.
    void Path(COLORREF colour, std::initializer_list<CPoint> points)
    {
        CPen pen(PS_SOLID, 1, colour);
        CPen* const previous = m_dc.SelectObject(&pen);
        m_dc.MoveTo(*points.begin());
        for (const CPoint* p = points.begin() + 1; p != points.end(); ++p)
            m_dc.LineTo(*p);
        m_dc.SelectObject(previous);
    }

    // Pixel for pixel against another surface of the same size.
    ::testing::AssertionResult Same(const Surface& expected) const
    {
        int differences = 0;
        ::testing::Message first;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Pixel(x, y) != expected.Pixel(x, y) && ++differences <= 8)
                    first << " (" << x << "," << y << ")";
        if (differences == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << differences << " pixels differ, first at" << first;
    }

private:
    int m_width;
    int m_height;
    CBitmap m_bitmap;  // declared first so that it outlives the context it is selected into
    CDC m_dc;
};

}  // namespace testsupport
