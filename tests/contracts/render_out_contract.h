// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every render output does, the devices and the double alike. A rig gives the output as
// `device`, lets it play for a while with Play(ms) (the double renders then, a device on its
// own thread) or until a condition holds with PlayUntil (false when it never does), and, in
// SetUp, skips where it cannot run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "platform/render_out.h"

namespace zudorave::testing {

template <typename Rig>
class RenderOutContract : public ::testing::Test {
 protected:
  class CountingSource : public RenderSource {
   public:
    void Render(std::span<int16_t> out) override {
      std::fill(out.begin(), out.end(), int16_t{0});
      calls.fetch_add(1);
    }
    std::atomic<int> calls{0};
  };
  static constexpr WaveFormatEx Mono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  static constexpr WaveFormatEx Stereo16{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

  void SetUp() override { rig.SetUp(); }

  Rig rig;
  RenderOut& device = rig.device;
};
TYPED_TEST_SUITE_P(RenderOutContract);

TYPED_TEST_P(RenderOutContract, OpensSixteenBitMonoOnceAtATime) {
  typename TestFixture::CountingSource source;
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(this->device.Open(this->Stereo16, source), WAVERR_BADFORMAT);
  ASSERT_EQ(this->device.Open(this->Mono16, source), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Open(this->Mono16, source), MMSYSERR_ALLOCATED);
  EXPECT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  EXPECT_EQ(this->device.Close(), MMSYSERR_INVALHANDLE);
}

TYPED_TEST_P(RenderOutContract, AsksTheSourceWhileOpenAndNeverOnceClosed) {
  typename TestFixture::CountingSource source;
  ASSERT_EQ(this->device.Open(this->Mono16, source), MMSYSERR_NOERROR);
  EXPECT_TRUE(this->rig.PlayUntil([&] { return source.calls.load() > 0; }));
  ASSERT_EQ(this->device.Close(), MMSYSERR_NOERROR);
  const int calls = source.calls.load();
  this->rig.Play(300);
  EXPECT_EQ(source.calls.load(), calls);
}

REGISTER_TYPED_TEST_SUITE_P(RenderOutContract, OpensSixteenBitMonoOnceAtATime,
                            AsksTheSourceWhileOpenAndNeverOnceClosed);

}  // namespace zudorave::testing
