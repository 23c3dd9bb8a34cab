// SPDX-License-Identifier: GPL-3.0-or-later
// The libpulse devices when the sound server crashes and comes back while they are open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

#include "capture/capture_queue.h"
#include "own_server.h"
#include "platform/pulse/pulse_wave_in.h"
#include "platform/pulse/pulse_wave_out.h"
#include "platform/testing/queued_ui_thread.h"
#include "signal_match.h"
#include "sound_server.h"
#include "synth/snd_tx.h"

namespace zudorave::testing {
namespace {

template <typename Condition>
bool Within(std::chrono::seconds limit, Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    SleepMs(10);
  }
  return true;
}

class ServerReturn : public SoundServerTest {
 protected:
  OwnServer server;
};

TEST_F(ServerReturn, ALoopingToneIsLostWithTheServerAndPlaysAgainWhenItReturns) {
  ASSERT_TRUE(server.Running());
  PulseWaveOut device;
  std::atomic<int> lost{0};
  std::atomic<int> back{0};
  device.OnNotice([&](PulseRenderOut::Event event) {
    (event == PulseRenderOut::Event::Lost ? lost : back).fetch_add(1);
  });
  CaptureQueue filled;
  SndTx tx{SndTx::InitialAf1Frequency, device, filled};
  tx.Mix(MixMode::Sum, Af1Bit);
  std::vector<int16_t> second(SndTx::SampleCount);
  for (std::size_t i = 0; i < second.size(); ++i) second[i] = tx.OutputSample(static_cast<int>(i));
  ASSERT_TRUE(tx.OpenSndTx(0));
  tx.PlaySndTx(1000);
  SleepMs(300);

  server.Crash();
  ASSERT_TRUE(Within(std::chrono::seconds(5), [&] { return device.Lost(); }));
  EXPECT_TRUE(tx.DeviceOpen()) << "the output stays open for its owner";
  SleepMs(600);  // several tries of a server that is not there
  EXPECT_EQ(lost.load(), 1);
  EXPECT_EQ(back.load(), 0);

  server.Revive();
  ASSERT_TRUE(Within(std::chrono::seconds(5), [&] { return !device.Lost(); }));
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.WaitUntilRecording());
  SleepMs(1500);
  const std::vector<int16_t> heard = recorder.Stop();
  EXPECT_EQ(back.load(), 1);
  // The same buffer loops again, bit for bit; a new stream's first moments may skip.
  const std::size_t at = FindWhole(heard, std::span(second).first(SndTx::SampleCount / 20));
  ASSERT_NE(at, NotFound) << "the tone did not come back";
  tx.CloseSndTx();
  EXPECT_FALSE(device.Lost());
}

class CountingTarget : public WimDataTarget {
 public:
  void OnWimData(WaveIn& /*device*/, WaveHdr& header) override {
    returned.push_back(header.dwBytesRecorded);
  }
  std::vector<uint32_t> returned;
};

TEST_F(ServerReturn, ARunningCaptureRecordsOnIntoItsBufferWhenTheServerReturnsAndCountsTheGap) {
  ASSERT_TRUE(server.Running());
  QueuedUiThread ui;
  PulseWaveIn device(ui);
  std::atomic<int> lost{0};
  std::atomic<int> back{0};
  device.OnNotice([&](PulseWaveIn::Event event) {
    (event == PulseWaveIn::Event::Lost ? lost : back).fetch_add(1);
  });
  CountingTarget target;
  // Three seconds: room for what comes before the crash and after the return.
  std::vector<int16_t> samples(3 * 44100);
  WaveHdr header{reinterpret_cast<char*>(samples.data()),
                 static_cast<uint32_t>(samples.size() * sizeof(int16_t))};
  ASSERT_EQ(device.Open(WaveFormatEx{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0}, &target),
            MMSYSERR_NOERROR);
  device.PrepareHeader(header);
  ASSERT_EQ(device.AddBuffer(header), MMSYSERR_NOERROR);
  device.Start();
  SleepMs(300);

  const auto crashed = std::chrono::steady_clock::now();
  server.Crash();
  ASSERT_TRUE(Within(std::chrono::seconds(5), [&] { return device.Lost(); }));
  SleepMs(600);
  EXPECT_EQ(lost.load(), 1);
  server.Revive();
  ASSERT_TRUE(Within(std::chrono::seconds(5), [&] { return !device.Lost(); }));
  SleepMs(50);  // the count is settled just after the new stream is ready
  const double away =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - crashed).count();
  EXPECT_EQ(back.load(), 1);
  EXPECT_GE(device.MissedSamples(), 600u * 44100 / 1000);
  EXPECT_LE(device.MissedSamples(), static_cast<uint64_t>(away * 44100));
  ui.RunPending();
  EXPECT_TRUE(target.returned.empty()) << "the buffer was handed back while the server was away";

  // What the server records now goes on into the same buffer, which then comes back full.
  std::vector<int16_t> tone(4 * 44100);
  for (std::size_t i = 0; i < tone.size(); ++i) {
    tone[i] = static_cast<int16_t>(
        12000 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(i) / 44100));
  }
  SourcePlayer player(tone);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(6);
  while (target.returned.empty() && std::chrono::steady_clock::now() < deadline) {
    ui.WaitAndRun(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(target.returned.size(), 1u);
  EXPECT_EQ(target.returned[0], header.dwBufferLength);
  EXPECT_NEAR(ZeroCrossingFrequency(std::span(samples).last(44100 / 4)), 1000, 10);
  device.Close();
  EXPECT_FALSE(device.Lost());
}

}  // namespace
}  // namespace zudorave::testing
