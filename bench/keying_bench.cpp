// SPDX-License-Identifier: GPL-3.0-or-later
// The keying engine on the real render output and timer, against the private sound server:
//   sidetone latency  a paddle press reaching the keyer to its first sample arriving at the
//                     sink's monitor (median, p95, max), as sound_bench times the generator
//   element timing    every element and gap of a text sent at 5, 12 and 25 words per minute
//                     (digits and punctuation; at 25, every character of the table in turn),
//                     read back at the sink between half-amplitude points, against its ideal
//                     length; a dropout shows as a stretched gap or a tone too many
// each on an idle machine and with every core kept busy by other processes. Run it under
// scripts/with-test-session.sh:
//   keying_bench [pulse [latency us] [request us]]  libpulse's output, as the program plays
//   keying_bench sdl [frames per callback]             SDL's, where there is no PulseAudio
// ZUDORAVE_ROUNDS sets the number of presses (100). With ZUDORAVE_KEYING_DUMP=prefix each
// recording is also written to prefix<wpm><idle|busy>.raw.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/disturbance.h"
#include "bench/sink_watch.h"
#include "bench/sound_session.h"
#include "morse/character_timing.h"
#include "morse/morse_keyer.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/sdl/sdl_render_out.h"
#include "platform/testing/queued_ui_thread.h"
#include "platform/thread_timer.h"
#include "tests/sound_server/child_process.h"
#include "tests/sound_server/key_edges.h"

namespace zudorave {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int32_t ToneHz = 300;  // a whole period of 147 samples, for the envelope

// Which render output to measure: SDL's with frames per callback, or libpulse's with its buffer.
struct OutputChoice {
  bool pulse = true;
  uint16_t frames = SdlRenderOut::CallbackFrames;
  PulseRenderOut::Buffer buffer = PulseRenderOut::DefaultBuffer;
};

std::unique_ptr<RenderOut> MakeOutput(const OutputChoice& choice, SdlAudio& audio) {
  if (choice.pulse) return std::make_unique<PulseRenderOut>(std::string{}, choice.buffer);
  return std::make_unique<SdlRenderOut>(audio, choice.frames);
}

struct Station {
  explicit Station(const OutputChoice& choice) : out(MakeOutput(choice, audio)) {
    keyer.OnTransmissionEnd([this] { ended = true; });
  }
  // What went on around the measurement since the station was made: underruns the server
  // reported, and CPU time the host took from this virtual machine, which no buffer shorter
  // than the theft survives.
  void PrintDisturbances() const {
    if (const auto* pulse = dynamic_cast<const PulseRenderOut*>(out.get())) {
      std::printf("      server ran short %u times;", pulse->Underruns());
    }
    std::printf(" host took %.0f ms of CPU\n", StolenMs() - stolenBefore);
  }
  const double stolenBefore = StolenMs();
  SdlAudio audio;
  std::unique_ptr<RenderOut> out;
  ThreadTimer timer;
  testing::QueuedUiThread ui;
  StationValues station;
  const int32_t toneHz = ToneHz;
  MorseKeyer keyer{station, *out, timer, ui, toneHz};
  bool ended = false;
};

void MeasureLatency(const OutputChoice& choice, int rounds, bool busy) {
  Station s(choice);
  SinkWatch watch;
  s.station.DotMs = MorseKeyer::DotFromWpm(25);
  s.station.OperatingState = StationState::ManualKeying;
  if (!s.keyer.StartElementTimer()) {
    std::printf("no output device\n");
    return;
  }
  std::this_thread::sleep_for(300ms);
  BusyCores load(busy);
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    if (!watch.AwaitSilence(60ms, 2s)) {
      std::printf("the sink never fell silent\n");
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 3));  // vary the phase
    watch.Arm();
    const auto pressed = Clock::now();
    s.keyer.SetPaddle(LeftPaddle);
    s.keyer.SetPaddle(NoPaddle);  // a tap: the press is remembered and keys one dot
    if (const auto arrived = watch.Await(1s)) {
      ms.push_back(std::chrono::duration<double, std::milli>(*arrived - pressed).count());
    }
  }
  s.keyer.StopElementTimer();
  if (ms.empty()) {
    std::printf("  latency: nothing arrived\n");
    return;
  }
  std::printf("  sidetone latency over %zu presses: median %.1f ms, p95 %.1f ms, max %.1f ms\n",
              ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0));
  s.PrintDisturbances();
}

// The ideal tones of a text in samples from the first key-down: start and end of each.
std::vector<std::pair<double, double>> IdealTones(const std::string& text, int32_t dotMs) {
  std::vector<std::pair<double, double>> tones;
  uint64_t startMs = 0;
  for (const char c : text) {
    const std::string_view pattern = SendPattern(c);
    if (!Keyable(pattern)) continue;
    const CharacterTiming timing = TimeCharacter(pattern, static_cast<uint32_t>(dotMs), 0);
    for (uint32_t e = 0; e + 1 < timing.edges; e += 2) {
      tones.emplace_back(static_cast<double>(startMs + timing.edgeMs[e]) * 44.1,
                         static_cast<double>(startMs + timing.edgeMs[e + 1]) * 44.1);
    }
    startMs += timing.lengthMs;
  }
  return tones;
}

std::string EveryCharacter() {
  std::string text;
  for (char c = '!'; c <= 'Z'; ++c) {
    if (Keyable(SendPattern(c))) text += c;
  }
  return text;
}

void MeasureTiming(const OutputChoice& choice, int32_t wpm, const std::string& text, bool busy) {
  Station s(choice);
  DeepRecorder recorder;
  s.station.DotMs = MorseKeyer::DotFromWpm(wpm);
  s.station.TransmitText.Set(text);
  s.station.OperatingState = StationState::Transmitting;
  std::this_thread::sleep_for(500ms);
  BusyCores load(busy);
  if (!s.keyer.StartElementTimer()) {
    std::printf("no output device\n");
    return;
  }
  const auto giveUp = Clock::now() + 60s;
  while (!s.ended && Clock::now() < giveUp) s.ui.WaitAndRun(100ms);
  std::this_thread::sleep_for(500ms);
  const std::vector<int16_t> heard = recorder.Stop();
  const std::vector<testing::HeardTone> tones = testing::HeardTones(heard, ToneHz);
  const std::vector<std::pair<double, double>> ideal = IdealTones(text, s.station.DotMs);
  if (const char* dump = std::getenv("ZUDORAVE_KEYING_DUMP")) {
    std::ofstream(dump + std::to_string(wpm) + (busy ? "busy" : "idle") + ".raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(heard.data()),
               static_cast<std::streamsize>(heard.size() * 2));
  }
  if (tones.size() != ideal.size()) {
    std::printf("  %2d wpm: %zu tones heard of %zu (a dropout inside a tone?)\n", wpm, tones.size(),
                ideal.size());
    s.PrintDisturbances();
    return;
  }
  double worst = 0, sum = 0;
  int off = 0, count = 0;
  auto check = [&](double heardSamples, double idealSamples) {
    const double error = std::abs(heardSamples - idealSamples) / 44.1;
    worst = std::max(worst, error);
    sum += error;
    off += error > 1.0 ? 1 : 0;
    ++count;
  };
  for (std::size_t i = 0; i < tones.size(); ++i) {
    check(tones[i].up - tones[i].down, ideal[i].second - ideal[i].first);
    if (i + 1 < tones.size()) {
      check(tones[i + 1].down - tones[i].up, ideal[i + 1].first - ideal[i].second);
    }
  }
  std::printf("  %2d wpm: %d elements and gaps, error mean %.3f ms, max %.3f ms, %d over 1 ms\n",
              wpm, count, sum / count, worst, off);
  s.PrintDisturbances();
}

}  // namespace
}  // namespace zudorave

int main(int argc, char** argv) {
  using namespace zudorave;
  if (!InSoundSession()) return 2;
  OutputChoice choice;
  const std::string kind = argc > 1 ? argv[1] : "pulse";
  choice.pulse = kind != "sdl";
  const auto number = [&](int i) { return static_cast<uint32_t>(std::atoi(argv[i])); };
  if (choice.pulse) {
    if (argc > 2) choice.buffer.latencyUs = number(2);
    if (argc > 3) choice.buffer.requestUs = number(3);
  } else if (argc > 2) {
    choice.frames = static_cast<uint16_t>(number(2));
  }
  const char* rounds = std::getenv("ZUDORAVE_ROUNDS");
  const int presses = rounds ? std::atoi(rounds) : 100;
  if (choice.pulse) {
    std::printf("render output: libpulse, %u us in all, %u us a request\n", choice.buffer.latencyUs,
                choice.buffer.requestUs);
  } else {
    std::printf("render output: SDL, %u frames a callback\n", choice.frames);
  }
  for (const bool busy : {false, true}) {
    std::printf(busy ? "every core busy:\n" : "idle:\n");
    MeasureLatency(choice, presses, busy);
    MeasureTiming(choice, 5, "Q7 0/", busy);
    MeasureTiming(choice, 12, "CQ DE 73, QRZ?", busy);
    MeasureTiming(choice, 25, EveryCharacter(), busy);
  }
  return 0;
}
