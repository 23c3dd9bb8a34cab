// SPDX-License-Identifier: GPL-3.0-or-later
// What one control change costs: refill an oscillator and re-render the second.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "capture/capture_queue.h"
#include "platform/testing/fake_wave_out.h"
#include "synth/snd_tx.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

void* operator new(std::size_t bytes) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(bytes)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zudorave {
namespace {

struct Generator {
  testing::FakeWaveOut device;
  CaptureQueue filled;
  SndTx tx{SndTx::InitialAf1Frequency, device, filled};
};

void BM_FillOscillatorThenMix(benchmark::State& state) {
  Generator g;
  int32_t frequency = 15000;
  for (auto _ : state) {
    g.tx.FillOscillator(3, frequency);
    g.tx.Mix(MixMode::Sum, Af1Bit | Af2Bit | Af3Bit);
    benchmark::DoNotOptimize(g.tx.OutputBuffer());
  }
}
BENCHMARK(BM_FillOscillatorThenMix)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_Mix(benchmark::State& state) {
  Generator g;
  const auto mode = static_cast<MixMode>(state.range(0));
  const long before = allocations.load();
  for (auto _ : state) {
    g.tx.Mix(mode, Af1Bit | Af2Bit | Af3Bit);
    benchmark::DoNotOptimize(g.tx.OutputBuffer());
  }
  state.counters["allocations"] = static_cast<double>(allocations.load() - before);
}
BENCHMARK(BM_Mix)
    ->DenseRange(static_cast<int64_t>(MixMode::Lsb), static_cast<int64_t>(MixMode::Product))
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace zudorave

BENCHMARK_MAIN();
