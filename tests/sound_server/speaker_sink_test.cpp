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
  SdlSpeaker speaker;
  const auto start = std::chrono::steady_clock::now();
  speaker.Beep(1000, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  SleepMs(100);
  const std::vector<int16_t> heard = recorder.Stop();

  const std::size_t first = FirstSound(heard);
  ASSERT_NE(first, NotFound);
  const std::size_t length = heard.size() - TrailingSilence(heard) - first;
  // A new stream's first few milliseconds do not reach the monitor; the end must all be there.
  EXPECT_LE(length, 8820u);
  EXPECT_GE(length, 8820u - 441);
  EXPECT_NEAR(ZeroCrossingFrequency(std::span(heard).subspan(first, length)), 1000, 10);
}

}  // namespace
}  // namespace zudorave::testing
