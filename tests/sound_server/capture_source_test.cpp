// SPDX-License-Identifier: GPL-3.0-or-later
// The real input devices, on SDL and on libpulse, recording a known tone from the private
// server's default source: both keep the same buffer cycle.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <type_traits>
#include <vector>

#include "capture/capture_pool.h"
#include "capture/snd_rx.h"
#include "platform/pulse/pulse_wave_in.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/queued_ui_thread.h"
#include "signal_match.h"
#include "sound_server.h"

namespace zudorave::testing {
namespace {

constexpr uint32_t BufferBytes = 88200;
const WaveFormatEx Mono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

std::vector<int16_t> Tone(double frequency, double seconds) {
  std::vector<int16_t> samples(static_cast<std::size_t>(44100 * seconds));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(
        12000 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / 44100));
  }
  return samples;
}

// The tone's frequency from where it starts; the source is silent until the player's stream
// reaches it, and at least a quarter second of tone must be there.
double ToneFrequency(std::span<const int16_t> samples) {
  const std::size_t first = FirstSound(samples);
  if (first == NotFound || samples.size() - first < 11025) return 0;
  return ZeroCrossingFrequency(samples.subspan(first));
}

struct Returned {
  WaveHdr* header;
  uint32_t bytes;
};

class RecordingTarget : public WimDataTarget {
 public:
  void OnWimData(WaveIn& /*device*/, WaveHdr& header) override {
    returned.push_back({&header, header.dwBytesRecorded});
  }
  std::vector<Returned> returned;
};

struct Buffer {
  std::vector<int16_t> samples = std::vector<int16_t>(BufferBytes / 2);
  WaveHdr header{reinterpret_cast<char*>(samples.data()), BufferBytes};
};

struct OnSdl {
  std::unique_ptr<WaveIn> Make(UiThread& ui) { return std::make_unique<SdlWaveIn>(audio, ui); }
  SdlAudio audio;
};

struct OnPulse {
  std::unique_ptr<WaveIn> Make(UiThread& ui) { return std::make_unique<PulseWaveIn>(ui); }
};

struct BackendName {
  template <typename T>
  static std::string GetName(int /*index*/) {
    return std::is_same_v<T, OnSdl> ? "Sdl" : "Pulse";
  }
};

template <typename Backend>
class CaptureFromTheSource : public SoundServerTest {
 protected:
  std::unique_ptr<WaveIn> MakeDevice() { return backend.Make(ui); }

  // Runs queued notices on this thread until count buffers came back or time is up.
  void AwaitReturned(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (target.returned.size() < count && std::chrono::steady_clock::now() < deadline) {
      ui.WaitAndRun(std::chrono::milliseconds(50));
    }
  }

  Backend backend;
  QueuedUiThread ui;
  RecordingTarget target;
};

using Backends = ::testing::Types<OnSdl, OnPulse>;
TYPED_TEST_SUITE(CaptureFromTheSource, Backends, BackendName);

TYPED_TEST(CaptureFromTheSource, FillsWholeSecondsOfTheToneThenStopReturnsThePartialBuffer) {
  SourcePlayer player(Tone(1000, 4));
  const std::unique_ptr<WaveIn> made = this->MakeDevice();
  WaveIn& device = *made;
  ASSERT_EQ(device.Open(Mono16, &this->target), MMSYSERR_NOERROR);
  Buffer buffer;
  device.PrepareHeader(buffer.header);
  ASSERT_EQ(device.AddBuffer(buffer.header), MMSYSERR_NOERROR);
  EXPECT_EQ(device.AddBuffer(buffer.header), WAVERR_STILLPLAYING);  // it holds one already
  EXPECT_EQ(device.UnprepareHeader(buffer.header), WAVERR_STILLPLAYING);
  ASSERT_EQ(device.Start(), MMSYSERR_NOERROR);

  this->AwaitReturned(1, std::chrono::seconds(3));
  ASSERT_EQ(this->target.returned.size(), 1u);
  EXPECT_EQ(this->target.returned[0].header, &buffer.header);
  EXPECT_EQ(this->target.returned[0].bytes, BufferBytes);
  EXPECT_NE(buffer.header.dwFlags & WHDR_DONE, 0u);
  EXPECT_NEAR(ToneFrequency(buffer.samples), 1000, 5);

  ASSERT_EQ(device.AddBuffer(buffer.header), MMSYSERR_NOERROR);
  SleepMs(300);
  ASSERT_EQ(device.Stop(), MMSYSERR_NOERROR);
  EXPECT_EQ(this->ui.WaitAndRun(std::chrono::seconds(1)), 1);
  ASSERT_EQ(this->target.returned.size(), 2u);
  const uint32_t partial = this->target.returned[1].bytes;
  EXPECT_GT(partial, BufferBytes / 10);
  EXPECT_LT(partial, BufferBytes / 2);
  EXPECT_EQ(partial % 2, 0u);
  EXPECT_NEAR(ZeroCrossingFrequency(std::span(buffer.samples).first(partial / 2)), 1000, 15);
  EXPECT_EQ(device.UnprepareHeader(buffer.header), MMSYSERR_NOERROR);
  EXPECT_EQ(device.Close(), MMSYSERR_NOERROR);
}

TYPED_TEST(CaptureFromTheSource, ANoticeQueuedForADestroyedDeviceIsDropped) {
  Buffer buffer;
  {
    const std::unique_ptr<WaveIn> made = this->MakeDevice();
    WaveIn& device = *made;
    ASSERT_EQ(device.Open(Mono16, &this->target), MMSYSERR_NOERROR);
    device.PrepareHeader(buffer.header);
    device.AddBuffer(buffer.header);
    device.Start();
    SleepMs(100);
    device.Reset();
    EXPECT_EQ(buffer.header.dwFlags & WHDR_INQUEUE, 0u);  // given back before the notice runs
  }
  EXPECT_EQ(this->ui.RunPending(), 1);
  EXPECT_TRUE(this->target.returned.empty());
}

TYPED_TEST(CaptureFromTheSource, ANoticeGoesToTheTargetOfItsRunAndIsDroppedWhenThatTargetIsGone) {
  const std::unique_ptr<WaveIn> made = this->MakeDevice();
  WaveIn& device = *made;
  Buffer buffer;
  RecordingTarget first;
  RecordingTarget second;
  auto gone = std::make_unique<RecordingTarget>();
  // Each run is closed before its notice runs.
  for (RecordingTarget* run : {&first, &second, gone.get()}) {
    ASSERT_EQ(device.Open(Mono16, run), MMSYSERR_NOERROR);
    device.PrepareHeader(buffer.header);
    ASSERT_EQ(device.AddBuffer(buffer.header), MMSYSERR_NOERROR);
    device.Start();
    SleepMs(100);
    device.Close();
  }
  gone.reset();
  RecordingTarget open;
  ASSERT_EQ(device.Open(Mono16, &open), MMSYSERR_NOERROR);
  this->ui.RunPending();
  EXPECT_EQ(first.returned.size(), 1u);
  EXPECT_EQ(second.returned.size(), 1u);
  EXPECT_TRUE(open.returned.empty());
}

TYPED_TEST(CaptureFromTheSource, CloseGivesBackAFullBufferWhoseNoticeHasNotRunYet) {
  const std::unique_ptr<WaveIn> made = this->MakeDevice();
  WaveIn& device = *made;
  RecordingTarget first;
  Buffer buffer;
  ASSERT_EQ(device.Open(Mono16, &first), MMSYSERR_NOERROR);
  device.PrepareHeader(buffer.header);
  ASSERT_EQ(device.AddBuffer(buffer.header), MMSYSERR_NOERROR);
  device.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (this->ui.Waiting() == 0 && std::chrono::steady_clock::now() < deadline) SleepMs(10);
  ASSERT_EQ(this->ui.Waiting(), 1u) << "the buffer never filled";
  device.Close();
  EXPECT_EQ(buffer.header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
  EXPECT_EQ(buffer.header.dwBytesRecorded, BufferBytes);

  // The next run starts with nothing held, and the notice still goes to the first run's target.
  RecordingTarget second;
  Buffer next;
  ASSERT_EQ(device.Open(Mono16, &second), MMSYSERR_NOERROR);
  device.PrepareHeader(next.header);
  EXPECT_EQ(device.AddBuffer(next.header), MMSYSERR_NOERROR);
  this->ui.RunPending();
  ASSERT_EQ(first.returned.size(), 1u);
  EXPECT_EQ(first.returned[0].header, &buffer.header);
  EXPECT_EQ(first.returned[0].bytes, BufferBytes);
  EXPECT_TRUE(second.returned.empty());
}

// The window's side of the buffer cycle: every returned buffer goes to the capture object.
class CaptureWindow : public WimDataTarget {
 public:
  explicit CaptureWindow(SndRx& rx) : rx_(rx) {}
  void OnWimData(WaveIn& device, WaveHdr& header) override { rx_.OnWimData(device, header, {}); }

 private:
  SndRx& rx_;
};

TYPED_TEST(CaptureFromTheSource, TheCaptureObjectQueuesFullSecondsAndKeepsRecording) {
  SourcePlayer player(Tone(700, 4));
  const std::unique_ptr<WaveIn> made = this->MakeDevice();
  WaveIn& device = *made;
  FakeSpeaker speaker;
  CapturePool pool;
  CaptureQueue freeQueue;
  CaptureQueue filledQueue;
  CreateCapturePool(pool, freeQueue);
  SndRx rx(device, speaker, freeQueue, filledQueue);
  CaptureWindow window(rx);
  ASSERT_TRUE(rx.OpenSndRx(&window));
  rx.StartSndRx();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (filledQueue.Empty() && std::chrono::steady_clock::now() < deadline) {
    this->ui.WaitAndRun(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(filledQueue.Size(), 1u);
  const CaptureBuffer* filled = filledQueue.Front();
  EXPECT_EQ(filled->length, CaptureBufferBytes);
  const std::span samples(reinterpret_cast<const int16_t*>(filled->data), CaptureBufferBytes / 2);
  EXPECT_NEAR(ToneFrequency(samples), 700, 5);
  EXPECT_NE(rx.Current(), nullptr);  // the next buffer is already recording
  EXPECT_NE(rx.Current(), filled);

  EXPECT_TRUE(rx.CloseSndRx());
  this->ui.RunPending();  // the partial buffer from the stop
  EXPECT_EQ(filledQueue.Size(), 2u);
  EXPECT_FALSE(rx.DeviceOpen());
}

// What a command prints, its output's whitespace trimmed at the end.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe)) text += chunk;
    pclose(pipe);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// A microphone of the server's own, for as long as it lives.
class ServerSource {
 public:
  explicit ServerSource(const std::string& description)
      : module_(Output("pactl load-module module-null-source source_name=mic rate=44100 "
                       "channels=1 'description=\"" +
                       description + "\"'")) {}
  ~ServerSource() {
    if (!module_.empty()) Output("pactl unload-module " + module_);
  }
  ServerSource(const ServerSource&) = delete;
  ServerSource& operator=(const ServerSource&) = delete;
  bool Loaded() const { return !module_.empty(); }
  // Whether a stream records from it now.
  static bool Recorded() {
    const std::string index = Output("pactl list short sources | awk '$2 == \"mic\" {print $1}'");
    const std::string outputs = Output("pactl list short source-outputs | awk '{print $2}'");
    return !index.empty() && ("\n" + outputs + "\n").find("\n" + index + "\n") != std::string::npos;
  }

 private:
  std::string module_;
};

class PulseInputAtTheServer : public SoundServerTest {};

// The libpulse input finds a source by the name SDL lists it under, and, as SDL, takes no
// sink's monitor for an input.
TEST_F(PulseInputAtTheServer, TheLibpulseInputRecordsFromTheSourceSdlNamesAndFromNoMonitor) {
  ServerSource mic("USB Mic");
  ASSERT_TRUE(mic.Loaded());
  SdlAudio audio;
  const std::vector<std::string> names = audio.DeviceNames(true);
  ASSERT_EQ(names, std::vector<std::string>{"USB Mic"});
  QueuedUiThread ui;
  RecordingTarget target;
  PulseWaveIn chosen(ui, "USB Mic");
  EXPECT_EQ(chosen.GetNumDevs(), names.size());
  ASSERT_EQ(chosen.Open(Mono16, &target), MMSYSERR_NOERROR);
  EXPECT_TRUE(ServerSource::Recorded());
  chosen.Close();
  PulseWaveIn monitor(ui, "Monitor of in");
  EXPECT_EQ(monitor.Open(Mono16, &target), MMSYSERR_NODRIVER);
}

}  // namespace
}  // namespace zudorave::testing
