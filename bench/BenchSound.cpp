// The sound's costs: the mixer's CPU with 16 voices sounding, as a share of one core at
// 48 kHz, and the latency from the moment a tick posts an effect to the moment the audio
// callback that carries its first sample returns, with the callback running on a thread of
// its own at the device's pace (512 frames, 10.7 ms), as SDL runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "sound/SoundEngine.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 512;
constexpr double kBufferSeconds = double(kFrames) / kSampleRate;

double Percentile(std::vector<double> samples, double p)
{
    std::sort(samples.begin(), samples.end());
    return samples[std::size_t(p * double(samples.size() - 1))];
}

// The share of a core is the time of one buffer over the buffer's length.
void BM_Mixer16Voices(benchmark::State& state)
{
    const CEffectBank bank;
    CMixer mixer(bank);
    std::vector<float> out(2 * kFrames);
    std::vector<double> seconds;
    for (auto _ : state) {
        for (int i = 0; mixer.ActiveVoices() < 16; ++i)
            mixer.Play(Effect(i % kEffectCount), float(i % 5) * 0.5f - 1.0f);
        const Clock::time_point start = Clock::now();
        mixer.Render(out.data(), kFrames);
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds.push_back(elapsed);
    }
    state.counters["median_us"] = Percentile(seconds, 0.5) * 1e6;
    state.counters["core_percent"] = Percentile(seconds, 0.5) / kBufferSeconds * 100.0;
}
BENCHMARK(BM_Mixer16Voices)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FireToFirstSample(benchmark::State& state)
{
    CSoundEngine engine;
    std::atomic<bool> running{true};
    std::atomic<Clock::rep> heard{0};  // when the callback carrying the sound returned
    std::thread device([&] {
        std::vector<float> out(2 * kFrames);
        Clock::time_point due = Clock::now();
        while (running.load()) {
            engine.Render(out.data(), kFrames);
            if (std::any_of(out.begin(), out.end(), [](float x) { return x != 0.0f; }))
                heard.store(Clock::now().time_since_epoch().count());
            due += std::chrono::microseconds(int(kBufferSeconds * 1e6));
            std::this_thread::sleep_until(due);
        }
    });
    std::mt19937 random(1);
    std::vector<double> latencies;
    for (auto _ : state) {
        // Ticks fall anywhere in the device's period.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 11000));
        engine.Post({SoundCommand::Kind::StopAll, Effect::ShotSingle, 0.0f});
        std::this_thread::sleep_for(std::chrono::milliseconds(25));  // two silent buffers
        heard.store(0);
        const Clock::time_point fired = Clock::now();
        engine.Post({SoundCommand::Kind::Play, Effect::ShotSingle, 0.0f});
        while (heard.load() == 0)
            std::this_thread::yield();
        const double latency = std::chrono::duration<double>(Clock::duration(heard.load()) -
                                                             fired.time_since_epoch()).count();
        state.SetIterationTime(latency);
        latencies.push_back(latency);
    }
    running.store(false);
    device.join();
    state.counters["median_ms"] = Percentile(latencies, 0.5) * 1e3;
    state.counters["p95_ms"] = Percentile(latencies, 0.95) * 1e3;
}
BENCHMARK(BM_FireToFirstSample)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace
