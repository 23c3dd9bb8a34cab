// The libpulse outputs when the sound server crashes and comes back while they are open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "capture/capture_queue.h"
#include "own_server.h"
#include "platform/pulse/pulse_wave_out.h"
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

}  // namespace
}  // namespace zudorave::testing
