// SPDX-License-Identifier: GPL-3.0-or-later
// The keying side's libpulse output against the private server.
#include "platform/pulse/pulse_render_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "signal_match.h"
#include "sound_server.h"

namespace zudorave::testing {
namespace {

// Renders a steady level and counts its calls.
class SteadySource : public RenderSource {
 public:
  void Render(std::span<int16_t> out) override {
    std::fill(out.begin(), out.end(), int16_t{8000});
    calls.fetch_add(1);
  }
  std::atomic<int> calls{0};
};

WaveFormatEx Mono16(uint16_t channels = 1) {
  WaveFormatEx format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = 44100;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<uint16_t>(2 * channels);
  format.nAvgBytesPerSec = 44100u * format.nBlockAlign;
  return format;
}

std::size_t Sounding(const std::vector<int16_t>& heard) {
  return static_cast<std::size_t>(
      std::count_if(heard.begin(), heard.end(), [](int16_t s) { return s != 0; }));
}

class PulseRenderOutAtTheServer : public SoundServerTest {};

TEST_F(PulseRenderOutAtTheServer, PlaysOnTheSinkChosenByDescriptionAndStopsRenderingAtClose) {
  SinkRecorder chosen("in.monitor");
  SinkRecorder other("out.monitor");
  ASSERT_TRUE(chosen.WaitUntilRecording());
  ASSERT_TRUE(other.WaitUntilRecording());
  SteadySource source;
  PulseRenderOut out("in");
  ASSERT_EQ(out.Open(Mono16(), source), MMSYSERR_NOERROR);
  SleepMs(400);
  ASSERT_EQ(out.Close(), MMSYSERR_NOERROR);
  const int calls = source.calls.load();
  SleepMs(400);
  EXPECT_EQ(source.calls.load(), calls) << "rendered after Close";
  const std::vector<int16_t> heard = chosen.Stop();
  EXPECT_GT(Sounding(heard), 44100u / 4);
  EXPECT_GT(TrailingSilence(heard), 44100u / 4) << "the sound went on after Close";
  EXPECT_EQ(Sounding(other.Stop()), 0u) << "played on the default sink";
}

TEST_F(PulseRenderOutAtTheServer, AMissingSinkOrAnotherFormatDoesNotOpen) {
  SteadySource source;
  PulseRenderOut missing("no such sink");
  EXPECT_EQ(missing.Open(Mono16(), source), MMSYSERR_NODRIVER);
  EXPECT_FALSE(missing.IsOpen());
  PulseRenderOut out;
  EXPECT_EQ(out.Open(Mono16(2), source), WAVERR_BADFORMAT);
  EXPECT_EQ(out.Open(Mono16(), source), MMSYSERR_NOERROR);
  EXPECT_EQ(out.Open(Mono16(), source), MMSYSERR_ALLOCATED);
}

}  // namespace
}  // namespace zudorave::testing
