// SPDX-License-Identifier: GPL-3.0-or-later
// With no sound server to reach, the devices fail to open and leave everything as it was.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "capture/capture_queue.h"
#include "capture/snd_rx.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/pulse/pulse_speaker.h"
#include "platform/pulse/pulse_wave_in.h"
#include "platform/pulse/pulse_wave_out.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/queued_ui_thread.h"
#include "synth/snd_tx.h"

namespace zudorave::testing {
namespace {

// Sets an environment variable for one scope, then puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class NoSoundServer : public ::testing::Test {
  ScopedEnv driver_{"SDL_AUDIODRIVER", "pulseaudio"};
  ScopedEnv server_{"PULSE_SERVER", "unix:/nonexistent/zudorave/native"};
};

TEST_F(NoSoundServer, OpenSndTxIsFalseAndChangesNothing) {
  SdlAudio audio;
  SdlWaveOut device(audio);
  CaptureQueue filled;
  SndTx tx{SndTx::InitialAf1Frequency, device, filled};
  EXPECT_FALSE(tx.OpenSndTx(100));
  EXPECT_FALSE(tx.DeviceOpen());
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(tx.Header()->dwFlags, 0u);
  EXPECT_EQ(tx.Header()->dwLoops, 0u);
  EXPECT_EQ(tx.Header()->dwBufferLength, 0u);
  WaveHdr header{};
  EXPECT_EQ(device.Write(header), MMSYSERR_INVALHANDLE);
}

class IgnoringTarget : public WimDataTarget {
 public:
  void OnWimData(WaveIn& /*device*/, WaveHdr& /*header*/) override {}
};

TEST_F(NoSoundServer, AFailedOpenIsToldOnceWithSdlsReasonTillTheFailureChanges) {
  std::vector<AudioOpenFailure> told;
  SdlAudio audio(AudioChoice{"", "USB Audio CODEC", [&told](const AudioOpenFailure& failure) {
                               told.push_back(failure);
                             }});
  SdlWaveOut output(audio);
  const WaveFormatEx format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  EXPECT_EQ(output.Open(format), MMSYSERR_NODRIVER);
  EXPECT_EQ(output.Open(format), MMSYSERR_NODRIVER);
  QueuedUiThread ui;
  IgnoringTarget target;
  SdlWaveIn input(audio, ui);
  EXPECT_NE(input.Open(format, &target), MMSYSERR_NOERROR);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_FALSE(told[0].capture);
  EXPECT_EQ(told[0].device, "");
  EXPECT_FALSE(told[0].reason.empty());
  EXPECT_TRUE(told[1].capture);
  EXPECT_EQ(told[1].device, "USB Audio CODEC");
}

TEST_F(NoSoundServer, TheInputDeviceFailsToOpenAndCountsNoDevices) {
  QueuedUiThread ui;
  IgnoringTarget target;
  SdlAudio audio;
  SdlWaveIn device(audio, ui);
  EXPECT_EQ(device.GetNumDevs(), 0u);
  EXPECT_NE(device.Open(WaveFormatEx{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0}, &target),
            MMSYSERR_NOERROR);
  EXPECT_EQ(device.Start(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(ui.Waiting(), 0u);
}

TEST_F(NoSoundServer, TheLibpulseStreamsFailToOpenAgainAndAgain) {
  class Silent : public RenderSource {
    void Render(std::span<int16_t> out) override { std::fill(out.begin(), out.end(), 0); }
  } source;
  const WaveFormatEx format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  QueuedUiThread ui;
  IgnoringTarget target;
  PulseRenderOut keying;
  PulseWaveOut generator;
  PulseWaveIn capture(ui);
  PulseSpeaker speaker;
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(keying.Open(format, source), MMSYSERR_NODRIVER);
    EXPECT_EQ(generator.Open(format), MMSYSERR_NODRIVER);
    EXPECT_EQ(capture.Open(format, &target), MMSYSERR_NODRIVER);
    EXPECT_EQ(speaker.Play(1000, 60), MMSYSERR_NODRIVER);
    EXPECT_FALSE(keying.IsOpen());
    EXPECT_FALSE(generator.IsOpen());
    EXPECT_FALSE(capture.IsOpen());
  }
  EXPECT_EQ(capture.GetNumDevs(), 0u);
  EXPECT_EQ(ui.Waiting(), 0u);
}

// A server that takes the connection and never answers, as a stopped one does.
class StalledSoundServer : public ::testing::Test {
 protected:
  StalledSoundServer() {
    char dir[] = "/tmp/zudorave-stalled-XXXXXX";
    dir_ = mkdtemp(dir);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir_ + "/native";
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    server_.emplace("PULSE_SERVER", ("unix:" + path).c_str());
  }
  ~StalledSoundServer() override {
    close(listener_);
    std::remove((dir_ + "/native").c_str());
    rmdir(dir_.c_str());
  }

 private:
  std::string dir_;
  int listener_ = -1;
  std::optional<ScopedEnv> server_;
};

// Opening gives up after its bound, again at the next try, and says it was not a missing server
// (SDL, the fallback for that, would wait on this one without end).
TEST_F(StalledSoundServer, OpeningGivesUpInsteadOfWaiting) {
  class Silent : public RenderSource {
    void Render(std::span<int16_t> out) override { std::fill(out.begin(), out.end(), 0); }
  } source;
  const WaveFormatEx format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  QueuedUiThread ui;
  IgnoringTarget target;
  PulseRenderOut keying;
  PulseWaveOut generator;
  PulseWaveIn capture(ui);
  PulseSpeaker speaker;
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(keying.Open(format, source), MMSYSERR_ERROR);
    EXPECT_EQ(generator.Open(format), MMSYSERR_ERROR);
    EXPECT_EQ(capture.Open(format, &target), MMSYSERR_ERROR);
    EXPECT_EQ(speaker.Play(1000, 60), MMSYSERR_ERROR);
    EXPECT_FALSE(keying.IsOpen());
    EXPECT_FALSE(generator.IsOpen());
    EXPECT_FALSE(capture.IsOpen());
  }
}

TEST_F(NoSoundServer, OpenSndRxIsFalseAndKeepsItsBuffers) {
  QueuedUiThread ui;
  IgnoringTarget target;
  SdlAudio audio;
  SdlWaveIn device(audio, ui);
  FakeSpeaker speaker;
  CaptureQueue freeQueue;
  CaptureQueue filledQueue;
  CaptureBuffer buffer;
  freeQueue.PushBack(&buffer);
  SndRx rx(device, speaker, freeQueue, filledQueue);
  EXPECT_FALSE(rx.OpenSndRx(&target));
  EXPECT_FALSE(rx.DeviceOpen());
  EXPECT_EQ(rx.Current(), nullptr);
  EXPECT_EQ(freeQueue.Size(), 1u);
  EXPECT_EQ(rx.Header()->dwFlags, 0u);
}

}  // namespace
}  // namespace zudorave::testing
