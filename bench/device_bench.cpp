// SPDX-License-Identifier: GPL-3.0-or-later
// How long opening and closing the real sound devices hold the calling (user-interface) thread,
// against the private sound server, as the window's handlers open and close them:
//   tick         the first oscillator on: OpenSndTx then PlaySndTx
//   probe close  a device opened and never played closed again, as at start-up
//   untick       the last oscillator off while the second loops: CloseSndTx
//   Mike         the microphone on (OpenSndRx, StartSndRx) and off (CloseSndRx), on SDL and on
//                libpulse
//   beep         one 60 ms beep, which returns once the tone has played, on SDL and on libpulse
//   clicks       20 ticks and unticks 80 ms apart, as a person clicking AF1
// and, for the unticks, how long until the device was closed at the server in the background.
// Prints the median and maximum of each. Run it under scripts/with-test-session.sh; with
// ZUDORAVE_SOUND_KEEPERS=off the sinks are left unconsumed, as a sink is that nothing plays out.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/sound_session.h"
#include "capture/capture_pool.h"
#include "capture/capture_queue.h"
#include "capture/snd_rx.h"
#include "platform/pulse/pulse_speaker.h"
#include "platform/pulse/pulse_wave_in.h"
#include "platform/sdl/sdl_speaker.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/queued_ui_thread.h"
#include "synth/snd_tx.h"

namespace zudorave {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times) {
  if (times.empty()) return;
  std::sort(times.begin(), times.end());
  std::printf("%-28s median %8.2f ms   max %8.2f ms   (%zu runs)\n", what, times[times.size() / 2],
              times.back(), times.size());
  std::fflush(stdout);
}

struct Playback {
  explicit Playback(SdlAudio& audio) : device(audio) {}
  SdlWaveOut device;
  CaptureQueue filled;
  SndTx tx{SndTx::InitialAf1Frequency, device, filled};
};

void MeasurePlayback(SdlAudio& audio, int rounds) {
  Playback p(audio);
  p.tx.Mix(MixMode::Sum, Af1Bit);
  std::vector<double> tick, probe, untick, closed;
  for (int i = 0; i < rounds; ++i) {
    probe.push_back(Milliseconds([&] { p.tx.OpenSndTx(100); }) +
                    Milliseconds([&] { p.tx.CloseSndTx(); }));
    audio.FinishCloses();
    tick.push_back(Milliseconds([&] {
      p.tx.OpenSndTx(0);
      p.tx.PlaySndTx(2000);
    }));
    std::this_thread::sleep_for(300ms);
    const auto closing = Clock::now();
    untick.push_back(Milliseconds([&] { p.tx.CloseSndTx(); }));
    audio.FinishCloses();
    closed.push_back(std::chrono::duration<double, std::milli>(Clock::now() - closing).count());
    std::this_thread::sleep_for(100ms);
  }
  Report("tick (open and play)", tick);
  Report("probe (open and close)", probe);
  Report("untick (close while playing)", untick);
  Report("untick: closed at the server", closed);
}

void MeasureClicks(SdlAudio& audio, int clicks) {
  Playback p(audio);
  p.tx.Mix(MixMode::Sum, Af1Bit);
  std::vector<double> tick, untick;
  const auto start = Clock::now();
  for (int i = 0; i < clicks; ++i) {
    tick.push_back(Milliseconds([&] {
      p.tx.OpenSndTx(0);
      p.tx.PlaySndTx(2000);
    }));
    std::this_thread::sleep_for(80ms);
    untick.push_back(Milliseconds([&] { p.tx.CloseSndTx(); }));
    std::this_thread::sleep_for(80ms);
  }
  const double clicked = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const double settled = Milliseconds([&] { audio.FinishCloses(); });
  Report("clicks: tick", tick);
  Report("clicks: untick", untick);
  std::printf(
      "clicks: %d ticks and unticks took %.0f ms (%d ms of it waiting between clicks); "
      "the last device was closed at the server %.0f ms later\n",
      clicks, clicked, clicks * 160, settled);
}

void MeasureCapture(const std::string& label, WaveIn& device, testing::QueuedUiThread& ui,
                    int rounds) {
  testing::FakeSpeaker speaker;
  CapturePool pool;
  CaptureQueue freeQueue;
  CaptureQueue filledQueue;
  CreateCapturePool(pool, freeQueue);
  SndRx rx(device, speaker, freeQueue, filledQueue);
  struct Window : WimDataTarget {
    SndRx* rx = nullptr;
    void OnWimData(WaveIn& d, WaveHdr& h) override { rx->OnWimData(d, h, {}); }
  } window;
  window.rx = &rx;
  std::vector<double> on, off;
  for (int i = 0; i < rounds; ++i) {
    on.push_back(Milliseconds([&] {
      rx.OpenSndRx(&window);
      rx.StartSndRx();
    }));
    std::this_thread::sleep_for(300ms);
    off.push_back(Milliseconds([&] { rx.CloseSndRx(); }));
    ui.RunPending();
    // Each partial buffer goes to the filled queue; give it back so the pool never runs out.
    while (CaptureBuffer* filled = filledQueue.TakeFront()) freeQueue.PushBack(filled);
    std::this_thread::sleep_for(100ms);
  }
  Report(("Mike on (" + label + ")").c_str(), on);
  Report(("Mike off (" + label + ")").c_str(), off);
}

// Stop after Receive as the window runs it: the capture closed, then the returned buffer's
// notice, which starts the two-tone signal. The window waits for this much, not the signal.
void MeasureStopAfterReceive(WaveIn& device, testing::QueuedUiThread& ui, Speaker& speaker,
                             int rounds) {
  CapturePool pool;
  CaptureQueue freeQueue;
  CaptureQueue filledQueue;
  CreateCapturePool(pool, freeQueue);
  SndRx rx(device, speaker, freeQueue, filledQueue);
  struct Window : WimDataTarget {
    SndRx* rx = nullptr;
    void OnWimData(WaveIn& d, WaveHdr& h) override { rx->OnWimData(d, h, {}); }
  } window;
  window.rx = &rx;
  std::vector<double> close, notice;
  for (int i = 0; i < rounds; ++i) {
    rx.OpenSndRx(&window);
    rx.StartSndRx();
    std::this_thread::sleep_for(300ms);
    rx.SetStopRequested(true);
    close.push_back(Milliseconds([&] { rx.CloseSndRx(); }));
    notice.push_back(Milliseconds([&] { ui.RunPending(); }));
    rx.FinishStopSignal();
    std::this_thread::sleep_for(100ms);
  }
  Report("Stop after Receive: capture closed (libpulse)", close);
  Report("Stop after Receive: its notice, the signal started (libpulse)", notice);
}

void MeasureBeep(const std::string& label, Speaker& speaker, int rounds) {
  std::vector<double> beeps;
  for (int i = 0; i < rounds; ++i) {
    beeps.push_back(Milliseconds([&] { speaker.Beep(1000, 60); }));
    std::this_thread::sleep_for(100ms);
  }
  Report(("beep 60 ms (" + label + ")").c_str(), beeps);
}

}  // namespace
}  // namespace zudorave

int main(int argc, char** argv) {
  using namespace zudorave;
  if (!InSoundSession()) return 2;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
  const char* keepers = std::getenv("ZUDORAVE_SOUND_KEEPERS");
  std::printf("sinks %s\n", keepers != nullptr && std::string_view(keepers) == "off"
                                ? "left unconsumed"
                                : "consumed at 10 ms");
  SdlAudio audio;
  MeasurePlayback(audio, rounds);
  testing::QueuedUiThread ui;
  SdlWaveIn sdlInput(audio, ui);
  MeasureCapture("sdl", sdlInput, ui, rounds);
  PulseWaveIn pulseInput(ui);
  MeasureCapture("libpulse", pulseInput, ui, rounds);
  SdlSpeaker sdlSpeaker(audio);
  MeasureBeep("sdl", sdlSpeaker, rounds);
  PulseSpeaker pulseSpeaker;
  MeasureBeep("libpulse", pulseSpeaker, rounds);
  MeasureStopAfterReceive(pulseInput, ui, pulseSpeaker, rounds);
  MeasureClicks(audio, 2 * rounds);
  return 0;
}
