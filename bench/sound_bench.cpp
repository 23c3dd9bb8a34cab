// SPDX-License-Identifier: GPL-3.0-or-later
// The generator on a real output device, against the private sound server:
//   latency   from a Mix returning to its new samples arriving at the sink (median, p95, max)
//   CPU       used by the whole process while the second loops (percent of one core)
//   dropouts  places where a minute of the sink's recording leaves the looped second, and the
//             underruns the server reported to libpulse
// each on an idle machine and with every core kept busy by other processes. Run it under
// scripts/with-test-session.sh:
//   sound_bench [pulse [latency us] [request us]]  libpulse's output, as the program plays
//   sound_bench sdl                                SDL's, where there is no PulseAudio
// ZUDORAVE_ROUNDS sets the number of changes timed (60), ZUDORAVE_LISTEN_S the seconds the
// sink is listened to for dropouts (60).
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <thread>
#include <vector>

#include "bench/disturbance.h"
#include "bench/sink_watch.h"
#include "bench/sound_session.h"
#include "capture/capture_queue.h"
#include "platform/pulse/pulse_wave_out.h"
#include "platform/sdl/sdl_wave_out.h"
#include "synth/snd_tx.h"
#include "tests/sound_server/signal_match.h"

namespace zudorave {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value ? std::atoi(value) : fallback;
}

void MeasureLatency(SndTx& tx, int rounds) {
  SinkWatch watch;
  std::this_thread::sleep_for(300ms);
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    tx.Mix(MixMode::Lsb, 0);  // every source off: silence
    if (!watch.AwaitSilence(60ms, 2s)) {
      std::printf("  the sink never fell silent\n");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 3));  // vary the phase
    watch.Arm();
    tx.Mix(MixMode::Sum, Af1Bit);
    const auto mixed = Clock::now();
    if (const auto arrived = watch.Await(1s)) {
      ms.push_back(std::chrono::duration<double, std::milli>(*arrived - mixed).count());
    }
  }
  if (ms.empty()) {
    std::printf("  latency: nothing arrived\n");
    return;
  }
  std::printf("  Mix to sink over %zu rounds: median %.1f ms, p95 %.1f ms, max %.1f ms\n",
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
  tx.Mix(MixMode::Sum, Af1Bit | Af2Bit);
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = Clock::now();
  std::this_thread::sleep_for(length);
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  std::printf("  CPU while the second loops for %.0f s: %.3f s, %.2f%% of one core\n", wall, cpu,
              100 * cpu / wall);
}

// Where the recording leaves the loop: each place counts once, however the loop is found
// again (samples lost, or silence put in).
int Dropouts(std::span<const int16_t> heard, std::span<const int16_t> second) {
  std::vector<int16_t> twice(second.begin(), second.end());
  twice.insert(twice.end(), second.begin(), second.end());
  constexpr std::size_t Probe = 64;
  std::size_t at = testing::FindWhole(heard, second.first(Probe));
  if (at == testing::NotFound) return -1;
  std::size_t offset = 0;
  int dropouts = 0;
  for (;;) {
    at += testing::MatchingRun(heard, at, second, offset);
    // Find the loop again after the dropout, at whichever offset it goes on from.
    for (; at + Probe <= heard.size(); at += Probe / 4) {
      const std::size_t found = testing::FindWhole(twice, heard.subspan(at, Probe));
      if (found == testing::NotFound) continue;
      offset = found % second.size();
      break;
    }
    if (at + Probe > heard.size()) return dropouts;
    ++dropouts;
  }
}

void MeasureDropouts(SndTx& tx, const PulseWaveOut* pulse, int seconds) {
  // Frequencies without a common period shorter than the second, so a lost block shows.
  tx.FillOscillator(0, 317);
  tx.FillOscillator(1, 2411);
  tx.Mix(MixMode::Sum, Af1Bit | Af2Bit);
  std::vector<int16_t> second(SndTx::SampleCount);
  for (std::size_t i = 0; i < second.size(); ++i) {
    second[i] = tx.OutputSample(static_cast<int>(i));
  }
  const uint32_t underrunsBefore = pulse ? pulse->Underruns() : 0;
  const double stolenBefore = StolenMs();
  DeepRecorder recorder;
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const std::vector<int16_t> heard = recorder.Stop();
  // The recorder's first and last moments may hold anything.
  const std::size_t edge = std::min<std::size_t>(heard.size() / 4, 22050);
  const int dropouts = Dropouts(std::span(heard).subspan(edge, heard.size() - 2 * edge), second);
  std::printf("  over %d s: %d dropouts at the sink", seconds, dropouts);
  if (pulse) std::printf(", server ran short %u times", pulse->Underruns() - underrunsBefore);
  std::printf("; host took %.0f ms of CPU\n", StolenMs() - stolenBefore);
  tx.FillOscillator(0, SndTx::InitialAf1Frequency);
}

}  // namespace
}  // namespace zudorave

int main(int argc, char** argv) {
  using namespace zudorave;
  if (!InSoundSession()) return 2;
  const std::string kind = argc > 1 ? argv[1] : "pulse";
  SdlAudio audio;
  std::unique_ptr<WaveOut> device;
  PulseWaveOut* pulse = nullptr;
  if (kind == "sdl") {
    device = std::make_unique<SdlWaveOut>(audio);
    std::printf("generator output: SDL, %u frames a callback\n", SdlWaveOut::CallbackFrames);
  } else {
    PulseRenderOut::Buffer buffer = PulseWaveOut::DefaultBuffer;
    if (argc > 2) buffer.latencyUs = static_cast<uint32_t>(std::atoi(argv[2]));
    if (argc > 3) buffer.requestUs = static_cast<uint32_t>(std::atoi(argv[3]));
    auto out = std::make_unique<PulseWaveOut>(std::string{}, buffer);
    pulse = out.get();
    device = std::move(out);
    std::printf("generator output: libpulse, %u us in all, %u us a request\n", buffer.latencyUs,
                buffer.requestUs);
  }
  CaptureQueue filled;
  SndTx tx(SndTx::InitialAf1Frequency, *device, filled);
  if (!tx.OpenSndTx(0)) {
    std::fprintf(stderr, "no output device\n");
    return 1;
  }
  tx.PlaySndTx(1000);
  std::this_thread::sleep_for(300ms);
  const int rounds = Setting("ZUDORAVE_ROUNDS", 60);
  const int listen = Setting("ZUDORAVE_LISTEN_S", 60);
  for (const bool busy : {false, true}) {
    std::printf(busy ? "every core busy:\n" : "idle:\n");
    BusyCores load(busy);
    if (!busy) MeasureCpu(tx, std::chrono::seconds(10));
    MeasureLatency(tx, rounds);
    MeasureDropouts(tx, pulse, listen);
  }
  tx.CloseSndTx();
  return 0;
}
