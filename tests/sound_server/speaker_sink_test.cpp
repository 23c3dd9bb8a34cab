// SPDX-License-Identifier: GPL-3.0-or-later
// Beeps on the real output, on SDL and on libpulse, heard at the private server's sink.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/pulse/pulse_speaker.h"
#include "platform/sdl/sdl_speaker.h"
#include "signal_match.h"
#include "sound_server.h"

namespace zudorave::testing {
namespace {

struct OnSdl {
  SdlAudio audio;
  SdlSpeaker speaker{audio};
};

struct OnPulse {
  PulseSpeaker speaker;
};

struct BackendName {
  template <typename T>
  static std::string GetName(int /*index*/) {
    return std::is_same_v<T, OnSdl> ? "Sdl" : "Pulse";
  }
};

template <typename Backend>
class SpeakerAtTheSink : public SoundServerTest {};

using Backends = ::testing::Types<OnSdl, OnPulse>;
TYPED_TEST_SUITE(SpeakerAtTheSink, Backends, BackendName);

TYPED_TEST(SpeakerAtTheSink, BeepPlaysTheToneForItsLengthBeforeReturning) {
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.WaitUntilRecording());
  TypeParam backend;
  const auto start = std::chrono::steady_clock::now();
  backend.speaker.Beep(1000, 200);
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
