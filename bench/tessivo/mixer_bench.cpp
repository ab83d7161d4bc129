// The mixer's cost: CPU time to mix one second of output with the background
// loop and two cues playing, in the output's own buffer size. The target is
// under 1 % of one core, i.e. under 10 ms per second of audio.
#include <benchmark/benchmark.h>

#include <cmath>

#include "tessivo/mixer.h"

using namespace tessivo;

namespace {

Samples tone(double seconds, double hz) {
    Samples s(size_t(seconds * OUTPUT_RATE) * OUTPUT_CHANNELS);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(16000 * std::sin(2 * M_PI * hz * double(i / 2) / OUTPUT_RATE));
    return s;
}

void mixOneSecond(benchmark::State& state) {
    Mixer mixer;
    Sound* back = mixer.addVoice(tone(2.0, 220), true);
    Sound* ok = mixer.addVoice(tone(3.0, 880), true);  // kept playing throughout
    Sound* scrShot = mixer.addVoice(tone(3.0, 1320), true);
    back->play();
    ok->play();
    scrShot->play();
    const size_t bufferFrames = 1024;
    std::vector<int16_t> out(bufferFrames * OUTPUT_CHANNELS);
    for (auto _ : state) {
        for (size_t done = 0; done < size_t(OUTPUT_RATE); done += bufferFrames) mixer.mix(out.data(), bufferFrames);
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

// The CPU column is the CPU time per second of audio: 10 ms would be 1 %.
BENCHMARK(mixOneSecond)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_MAIN();
