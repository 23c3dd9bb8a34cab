// SPDX-License-Identifier: GPL-3.0-or-later
// SDL's audio subsystem and its background closer against the private server.
#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "sound_server.h"

namespace zudorave::testing {
namespace {

void Silence(void* /*userdata*/, Uint8* stream, int bytes) {
  std::memset(stream, 0, static_cast<std::size_t>(bytes));
}

// Streams playing into the server's sinks (our output devices; the recorders are not counted).
int SinkInputs() {
  FILE* pipe = popen("pactl list short sink-inputs 2>/dev/null", "r");
  if (pipe == nullptr) return -1;
  int lines = 0;
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) lines += c == '\n' ? 1 : 0;
  pclose(pipe);
  return lines;
}

class SdlAudioAtTheServer : public SoundServerTest {};

TEST_F(SdlAudioAtTheServer, QuickOpensAndClosesNeverRunOutOfDevicesAndLeaveNoneBehind) {
  SDL_AudioSpec wanted{};
  wanted.freq = 44100;
  wanted.format = AUDIO_S16LSB;
  wanted.channels = 1;
  wanted.samples = 1024;
  wanted.callback = &Silence;
  SdlAudio audio;
  // Far more cycles than SDL has device slots, each faster than the server closes a stream.
  for (int i = 0; i < 40; ++i) {
    SDL_AudioSpec obtained{};
    const uint32_t id = audio.Open(false, wanted, obtained);
    ASSERT_NE(id, 0u) << "open " << i << ": " << SDL_GetError();
    EXPECT_EQ(obtained.freq, 44100);
    SDL_PauseAudioDevice(id, 0);
    audio.Close(id);
  }
  audio.FinishCloses();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (SinkInputs() != 0 && std::chrono::steady_clock::now() < deadline) SleepMs(20);
  EXPECT_EQ(SinkInputs(), 0);
}

// At rest SDL hears nothing of the server (its audio is stopped), yet still says which server it
// played on; an open wakes it, and it does not rest under an open device.
TEST_F(SdlAudioAtTheServer, AtRestItStopsButKeepsItsDriverNameAndAnOpenStartsItAgain) {
  SDL_AudioSpec wanted{};
  wanted.freq = 44100;
  wanted.format = AUDIO_S16LSB;
  wanted.channels = 1;
  wanted.samples = 1024;
  wanted.callback = &Silence;
  SdlAudio audio;
  const std::string driver = audio.DriverName();
  ASSERT_FALSE(driver.empty());
  SDL_AudioSpec obtained{};
  uint32_t id = audio.Open(false, wanted, obtained);
  ASSERT_NE(id, 0u);
  audio.Rest();
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "rested under an open device";
  audio.Close(id);
  audio.FinishCloses();
  audio.Rest();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  EXPECT_EQ(audio.DriverName(), driver);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "asking the name woke it";
  id = audio.Open(false, wanted, obtained);
  EXPECT_NE(id, 0u);
  audio.Close(id);
}

}  // namespace
}  // namespace zudorave::testing
