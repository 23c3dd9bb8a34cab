// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every wave output does, the devices and the double alike. A rig gives the device as
// `device` and, in SetUp, skips where it cannot run.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/wave_out.h"

namespace zudorave::testing {

template <typename Rig>
class WaveOutContract : public ::testing::Test {
 protected:
  // A second of silence to loop.
  struct Loop {
    std::vector<int16_t> samples = std::vector<int16_t>(44100);
    WaveHdr header{.lpData = reinterpret_cast<char*>(samples.data()),
                   .dwBufferLength = 88200,
                   .dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP,
                   .dwLoops = 10000};
  };
  static constexpr WaveFormatEx Mono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  static constexpr WaveFormatEx Stereo16{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

  void SetUp() override { rig.SetUp(); }

  Rig rig;
  WaveOut& device = rig.device;
};
TYPED_TEST_SUITE_P(WaveOutContract);

TYPED_TEST_P(WaveOutContract, RefusesAllButOpenWhileClosed) {
  WaveHdr header{};
  EXPECT_EQ(this->device.PrepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Write(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.UnprepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Reset(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(header.dwFlags, 0u);
}

TYPED_TEST_P(WaveOutContract, OpensSixteenBitMonoOnceAtATime) {
  EXPECT_EQ(this->device.Open(this->Stereo16), WAVERR_BADFORMAT);
  ASSERT_EQ(this->device.Open(this->Mono16), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Open(this->Mono16), MMSYSERR_ALLOCATED);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
  ASSERT_EQ(this->device.Open(this->Mono16), MMSYSERR_NOERROR);  // again, once closed
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
}

TYPED_TEST_P(WaveOutContract, PlaysOnePreparedHeaderAndHoldsItUntilReset) {
  typename TestFixture::Loop loop;
  typename TestFixture::Loop other;
  WaveHdr& header = loop.header;
  ASSERT_EQ(this->device.Open(this->Mono16), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Write(header), WAVERR_UNPREPARED);
  ASSERT_EQ(this->device.PrepareHeader(header), MMSYSERR_NOERROR);
  EXPECT_NE(header.dwFlags & WHDR_PREPARED, 0u);
  ASSERT_EQ(this->device.Write(header), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
  ASSERT_EQ(this->device.PrepareHeader(other.header), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Write(other.header), WAVERR_STILLPLAYING);
  EXPECT_EQ(this->device.UnprepareHeader(header), WAVERR_STILLPLAYING);
  EXPECT_NE(header.dwFlags & WHDR_PREPARED, 0u);
  EXPECT_EQ(this->device.Reset(), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
  EXPECT_EQ(this->device.UnprepareHeader(header), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags & WHDR_PREPARED, 0u);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
}

TYPED_TEST_P(WaveOutContract, CloseGivesBackTheHeaderPlaying) {
  typename TestFixture::Loop loop;
  ASSERT_EQ(this->device.Open(this->Mono16), MMSYSERR_NOERROR);
  ASSERT_EQ(this->device.PrepareHeader(loop.header), MMSYSERR_NOERROR);
  ASSERT_EQ(this->device.Write(loop.header), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(loop.header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
}

REGISTER_TYPED_TEST_SUITE_P(WaveOutContract, RefusesAllButOpenWhileClosed,
                            OpensSixteenBitMonoOnceAtATime,
                            PlaysOnePreparedHeaderAndHoldsItUntilReset,
                            CloseGivesBackTheHeaderPlaying);

}  // namespace zudorave::testing
