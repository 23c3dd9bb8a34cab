// Beeps on the real output, heard at the private server's sink.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/sdl/sdl_speaker.h"
#include "signal_match.h"
#include "sound_server.h"

namespace zudorave::testing {
namespace {

class SpeakerAtTheSink : public SoundServerTest {};

TEST_F(SpeakerAtTheSink, BeepPlaysTheToneForItsLengthBeforeReturning) {
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.WaitUntilRecording());
  SdlAudio audio;
  SdlSpeaker speaker(audio);
  const auto start = std::chrono::steady_clock::now();
  speaker.Beep(1000, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  SleepMs(100);
  const std::vector<int16_t> heard = recorder.Stop();

  // A starved machine may break the tone up; all of it must still be there, at its pitch.
  const std::vector<Stretch> stretches = SoundStretches(heard, 32);
  ASSERT_FALSE(stretches.empty());
  std::size_t total = 0;
  Stretch longest = stretches.front();
  for (const Stretch& stretch : stretches) {
    total += stretch.Length();
    if (stretch.Length() > longest.Length()) longest = stretch;
  }
  EXPECT_LE(total, 8820u);
  EXPECT_GE(total, 8820u - 441);
  ASSERT_GE(longest.Length(), 2205u);
  EXPECT_NEAR(ZeroCrossingFrequency(std::span(heard).subspan(longest.begin, longest.Length())),
              1000, 10);
}

}  // namespace
}  // namespace zudorave::testing
