// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every wave input does, the device and the double alike. A rig gives the input as
// `device`, runs the notices the device has queued for the user-interface thread with
// Deliver(), and, in SetUp, skips where it cannot run.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/wave_in.h"

namespace zudorave::testing {

template <typename Rig>
class WaveInContract : public ::testing::Test {
 protected:
  struct Target : WimDataTarget {
    std::vector<WaveHdr*> returned;
    void OnWimData(WaveIn& /*device*/, WaveHdr& header) override { returned.push_back(&header); }
  };
  struct Buffer {
    std::vector<int16_t> samples = std::vector<int16_t>(44100);
    WaveHdr header{.lpData = reinterpret_cast<char*>(samples.data()), .dwBufferLength = 88200};
  };
  static constexpr WaveFormatEx Mono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  static constexpr WaveFormatEx TwelveBits{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 12, 0};

  void SetUp() override { rig.SetUp(); }

  Rig rig;
  WaveIn& device = rig.device;
  Target target;
};
TYPED_TEST_SUITE_P(WaveInContract);

TYPED_TEST_P(WaveInContract, RefusesAllButOpenWhileClosed) {
  WaveHdr header{};
  EXPECT_EQ(this->device.PrepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.UnprepareHeader(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.AddBuffer(header), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Start(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Stop(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Reset(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(header.dwFlags, 0u);
  EXPECT_EQ(this->rig.Deliver(), 0);
}

TYPED_TEST_P(WaveInContract, OpensOnceAtATime) {
  EXPECT_EQ(this->device.Open(this->TwelveBits, &this->target), WAVERR_BADFORMAT);
  ASSERT_EQ(this->device.Open(this->Mono16, &this->target), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Open(this->Mono16, &this->target), MMSYSERR_ALLOCATED);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
}

TYPED_TEST_P(WaveInContract, HoldsOnePreparedBufferUntilItIsHandedBack) {
  typename TestFixture::Buffer buffer;
  typename TestFixture::Buffer other;
  WaveHdr& header = buffer.header;
  ASSERT_EQ(this->device.Open(this->Mono16, &this->target), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.AddBuffer(header), WAVERR_UNPREPARED);
  ASSERT_EQ(this->device.PrepareHeader(header), MMSYSERR_NOERROR);
  ASSERT_EQ(this->device.AddBuffer(header), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
  ASSERT_EQ(this->device.PrepareHeader(other.header), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.AddBuffer(other.header), WAVERR_STILLPLAYING);
  EXPECT_EQ(this->device.UnprepareHeader(header), WAVERR_STILLPLAYING);
  // Nothing recorded yet: Stop keeps the buffer for the next Start.
  EXPECT_EQ(this->device.Stop(), MMSYSERR_NOERROR);
  EXPECT_EQ(this->rig.Deliver(), 0);
  EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
  EXPECT_EQ(this->device.Reset(), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
  EXPECT_EQ(this->rig.Deliver(), 1);
  EXPECT_EQ(this->target.returned, std::vector<WaveHdr*>{&header});
  EXPECT_EQ(this->device.UnprepareHeader(header), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
}

TYPED_TEST_P(WaveInContract, CloseHandsTheHeldBufferBackToItsTarget) {
  typename TestFixture::Buffer buffer;
  ASSERT_EQ(this->device.Open(this->Mono16, &this->target), MMSYSERR_NOERROR);
  ASSERT_EQ(this->device.PrepareHeader(buffer.header), MMSYSERR_NOERROR);
  ASSERT_EQ(this->device.AddBuffer(buffer.header), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(buffer.header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
  EXPECT_EQ(this->rig.Deliver(), 1);
  EXPECT_EQ(this->target.returned, std::vector<WaveHdr*>{&buffer.header});
}

REGISTER_TYPED_TEST_SUITE_P(WaveInContract, RefusesAllButOpenWhileClosed, OpensOnceAtATime,
                            HoldsOnePreparedBufferUntilItIsHandedBack,
                            CloseHandsTheHeldBufferBackToItsTarget);

}  // namespace zudorave::testing
