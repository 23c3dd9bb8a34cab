// SPDX-License-Identifier: GPL-3.0-or-later
// The keying engine on the real render output and timer, heard at the private server's sink.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "key_edges.h"
#include "morse/morse_keyer.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/testing/queued_ui_thread.h"
#include "platform/thread_timer.h"
#include "sound_server.h"

namespace zudorave::testing {
namespace {

// "PARIS Q7 E" in units: "=" tone, "." silence. Q and 7 are long enough that the character
// after each once came late.
constexpr char ParisQ7E[] =
    "=.===.===.=...=.===...=.===.=...=.=...=.=.=......."
    "===.===.=.===...===.===.=.=.=.......=";

struct KeyRun {
  bool down;
  int units;
};

std::vector<KeyRun> KeyRuns(const std::string& keyed) {
  std::vector<KeyRun> runs;
  for (const char c : keyed) {
    const bool down = c == '=';
    if (runs.empty() || runs.back().down != down) runs.push_back({down, 0});
    ++runs.back().units;
  }
  return runs;
}

class KeyingAtTheSink : public SoundServerTest {
 protected:
  PulseRenderOut device;  // the program's keying output on PulseAudio
  ThreadTimer timer;
  QueuedUiThread ui;
  StationValues station;
  const int32_t toneHz = 300;  // a period of 147 samples
  MorseKeyer keyer{station, device, timer, ui, toneHz};
};

TEST_F(KeyingAtTheSink, TextAt25WpmHasEveryElementAndGapWithinAMillisecondShapedAndItsEnd) {
  station.DotMs = MorseKeyer::DotFromWpm(25);
  int ends = 0;
  keyer.OnTransmissionEnd([&] { ++ends; });
  // A server that ran short put a gap in the tone that the keying did not make: that run is
  // keyed again, a few times at most.
  std::vector<int16_t> heard;
  for (int attempt = 0; attempt < 3; ++attempt) {
    station.TransmitText.Set("paris q7 e");
    station.KeyedCharIndex = 0;
    station.OperatingState = StationState::Transmitting;
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.WaitUntilRecording());
    ends = 0;
    ASSERT_TRUE(keyer.StartElementTimer());
    // A generous bound for a run of about 5 s; the end is carried out here, as on the window.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ends == 0 && std::chrono::steady_clock::now() < giveUp) {
      ui.WaitAndRun(std::chrono::milliseconds(100));
    }
    ASSERT_EQ(ends, 1) << "the end of the transmission was never reported";
    EXPECT_EQ(station.TimerIdle, 1);
    EXPECT_FALSE(device.IsOpen());
    heard = recorder.Stop();
    if (device.Underruns() == 0) break;
  }

  const std::vector<HeardTone> tones = HeardTones(heard, toneHz);
  const std::vector<KeyRun> runs = KeyRuns(ParisQ7E);
  ASSERT_EQ(tones.size(), (runs.size() + 1) / 2) << "elements heard";
  const double unit = 48 * 44.1;
  const double millisecond = 44.1;
  for (std::size_t i = 0; i < tones.size(); ++i) {
    const KeyRun& element = runs[2 * i];
    EXPECT_NEAR(tones[i].up - tones[i].down, element.units * unit, millisecond) << "element " << i;
    if (i + 1 < tones.size()) {
      EXPECT_NEAR(tones[i + 1].down - tones[i].up, runs[2 * i + 1].units * unit, millisecond)
          << "gap after element " << i;
    }
    // Raised-cosine edges of 5 ms read as about 200 samples here, a step as 162.
    EXPECT_NEAR(tones[i].riseSamples, 200, 15) << "element " << i;
    EXPECT_NEAR(tones[i].fallSamples, 200, 15) << "element " << i;
  }
  EXPECT_LT(LargestSecondDifference(heard), 60) << "a click";
}

}  // namespace
}  // namespace zudorave::testing
