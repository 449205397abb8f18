// The drawing surface's primitives, one call each, on a 1920 x 1080 memory context.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>

#include "platform/gdi/DC.h"

namespace {

struct Surface1080
{
    CDC dc;
    CBitmap bitmap;

    Surface1080()
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 1920, 1080);
        dc.SelectObject(&bitmap);
    }
};

void BM_FillSolidRect_1920x1080(benchmark::State& state)
{
    Surface1080 s;
    COLORREF colour = 0;
    for (auto _ : state)
    {
        s.dc.FillSolidRect(0, 0, 1920, 1080, colour++);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 1920 * 1080 * 4);
}
BENCHMARK(BM_FillSolidRect_1920x1080);

// The floor for clearing a frame: std::fill over the same buffer.
void BM_StdFill_1920x1080(benchmark::State& state)
{
    Surface1080 s;
    std::uint32_t pixel = 0xFF000000;
    for (auto _ : state)
    {
        std::fill(s.bitmap.m_pixels.get(), s.bitmap.m_pixels.get() + std::size_t(1920) * 1080, pixel++);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 1920 * 1080 * 4);
}
BENCHMARK(BM_StdFill_1920x1080);

void BM_LineTo_Diagonal100(benchmark::State& state)
{
    Surface1080 s;
    for (auto _ : state)
    {
        s.dc.MoveTo(400, 300);
        s.dc.LineTo(500, 400);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LineTo_Diagonal100);

// The hit spark, the bullet and a box too large for the table of small outlines.
void BM_Ellipse(benchmark::State& state)
{
    Surface1080 s;
    const int side = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        s.dc.Ellipse(400, 300, 400 + side, 300 + side);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Ellipse)->Arg(4)->Arg(12)->Arg(40);

void BM_TextOut_Short(benchmark::State& state)
{
    Surface1080 s;
    s.dc.SetTextColor(RGB(255, 255, 255));
    s.dc.SetBkColor(RGB(0, 0, 0));
    for (auto _ : state)
    {
        s.dc.TextOut(10, 10, "Score:");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut_Short);

}  // namespace
