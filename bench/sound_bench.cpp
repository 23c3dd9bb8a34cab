// The generator on the real output device, against the private sound server:
//   latency  from a Mix returning to its new samples arriving at the sink (median, p95, max)
//   CPU      used by the whole process while the second loops (percent of one core)
// Run it under scripts/with-test-session.sh.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "bench/sink_watch.h"
#include "bench/sound_session.h"
#include "capture/capture_queue.h"
#include "platform/sdl/sdl_wave_out.h"
#include "synth/snd_tx.h"

namespace zudorave {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

void MeasureLatency(SndTx& tx, int rounds) {
  SinkWatch watch;
  std::this_thread::sleep_for(300ms);
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    tx.Mix(ModeLsb, 0);  // every source off: silence
    if (!watch.AwaitSilence(60ms, 2s)) {
      std::printf("the sink never fell silent\n");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 3));  // vary the phase
    watch.Arm();
    tx.Mix(ModeSum, Af1Bit);
    const auto mixed = Clock::now();
    if (const auto arrived = watch.Await(1s)) {
      ms.push_back(std::chrono::duration<double, std::milli>(*arrived - mixed).count());
    }
  }
  if (ms.empty()) {
    std::printf("latency: nothing arrived\n");
    return;
  }
  std::printf("Mix to sink latency over %zu rounds: median %.1f ms, p95 %.1f ms, max %.1f ms\n",
              ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0));
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void MeasureCpu(SndTx& tx, std::chrono::seconds length) {
  tx.Mix(ModeSum, Af1Bit | Af2Bit);
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = Clock::now();
  std::this_thread::sleep_for(length);
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  std::printf("CPU while the second loops for %.0f s: %.3f s, %.2f%% of one core\n", wall, cpu,
              100 * cpu / wall);
}

}  // namespace
}  // namespace zudorave

int main(int argc, char** argv) {
  using namespace zudorave;
  if (!InSoundSession()) return 2;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 60;
  SdlAudio audio;
  SdlWaveOut device(audio);
  CaptureQueue filled;
  SndTx tx(SndTx::InitialAf1Frequency, device, filled);
  if (!tx.OpenSndTx(0)) {
    std::fprintf(stderr, "no output device\n");
    return 1;
  }
  tx.PlaySndTx(1000);
  std::this_thread::sleep_for(300ms);
  MeasureCpu(tx, std::chrono::seconds(10));
  MeasureLatency(tx, rounds);
  tx.CloseSndTx();
  return 0;
}
