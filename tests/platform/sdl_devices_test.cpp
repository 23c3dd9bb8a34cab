// SPDX-License-Identifier: GPL-3.0-or-later
// What the SDL devices decide before any sound server is involved.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/sdl/sdl_wave_out.h"
#include "platform/testing/queued_ui_thread.h"

namespace zudorave {
namespace {

constexpr WaveFormatEx Mono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

TEST(SdlFormatFor, MapsPcmFormatsAndRejectsTheRest) {
  const std::optional<SDL_AudioSpec> mono16 = SdlFormatFor(Mono16, 512);
  ASSERT_TRUE(mono16);
  EXPECT_EQ(mono16->freq, 44100);
  EXPECT_EQ(mono16->format, AUDIO_S16LSB);
  EXPECT_EQ(mono16->channels, 1);
  EXPECT_EQ(mono16->samples, 512);
  const std::optional<SDL_AudioSpec> stereo8 =
      SdlFormatFor(WaveFormatEx{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0}, 256);
  ASSERT_TRUE(stereo8);
  EXPECT_EQ(stereo8->format, AUDIO_U8);
  EXPECT_EQ(stereo8->channels, 2);

  WaveFormatEx format = Mono16;
  format.wFormatTag = 3;
  EXPECT_FALSE(SdlFormatFor(format, 512));
  format = Mono16;
  format.wBitsPerSample = 24;
  EXPECT_FALSE(SdlFormatFor(format, 512));
  format = Mono16;
  format.nChannels = 0;
  EXPECT_FALSE(SdlFormatFor(format, 512));
  format = Mono16;
  format.nSamplesPerSec = 0;
  EXPECT_FALSE(SdlFormatFor(format, 512));
}

TEST(SdlWaveOut, RefusesEverythingUntilOpenAndFormatsItCannotLoop) {
  SdlAudio audio;
  SdlWaveOut device(audio);
  WaveHdr header{};
  EXPECT_EQ(device.PrepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Write(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.UnprepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Reset(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(header.dwFlags, 0u);
  EXPECT_EQ(device.Open(WaveFormatEx{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0}),
            WAVERR_BADFORMAT);
  EXPECT_EQ(device.Open(WaveFormatEx{WAVE_FORMAT_PCM, 1, 44100, 44100, 1, 8, 0}), WAVERR_BADFORMAT);
  EXPECT_FALSE(device.IsOpen());
}

TEST(SdlWaveIn, RefusesEverythingUntilOpen) {
  testing::QueuedUiThread ui;
  SdlAudio audio;
  SdlWaveIn device(audio, ui);
  WaveHdr header{};
  EXPECT_EQ(device.PrepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.AddBuffer(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Start(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Stop(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Reset(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(device.Open(WaveFormatEx{1, 1, 44100, 88200, 2, 12, 0}, nullptr), WAVERR_BADFORMAT);
  EXPECT_EQ(ui.Waiting(), 0u);
}

}  // namespace
}  // namespace zudorave
