// SPDX-License-Identifier: GPL-3.0-or-later
// The keying side's sound: the shaped tone, and the output it plays on.
#include <gtest/gtest.h>

#include <vector>

#include "../sound_server/key_edges.h"
#include "platform/testing/fake_render_out.h"
#include "synth/keyed_tone.h"
#include "synth/keying_tx.h"

namespace zudorave::testing {
namespace {

TEST(KeyedTone, EdgesAreFiveMillisecondRampsAsFarApartAsTheKeyWasDownAndNeverClick) {
  for (const uint32_t downSamples : {2117u, 6615u, 13230u}) {  // 48, 150 and 300 ms
    KeyedTone tone;
    tone.Start(300);
    std::vector<int16_t> out(1000 + downSamples + 2000);
    // In pieces of odd sizes, as callbacks cut it, each cut again where the key changes.
    const std::size_t up = 1000 + downSamples;
    for (std::size_t at = 0; at < out.size();) {
      std::size_t end = std::min<std::size_t>(out.size(), at + 97);
      if (at < 1000) end = std::min<std::size_t>(end, 1000);
      if (at < up) end = std::min(end, up);
      tone.Render(std::span(out).subspan(at, end - at), at >= 1000 && at < up);
      at = end;
    }
    const std::vector<HeardTone> heard = HeardTones(out, 300);
    ASSERT_EQ(heard.size(), 1u) << downSamples;
    EXPECT_NEAR(heard[0].up - heard[0].down, downSamples, 1.0);
    // The ramp starts where the key goes down: its middle is 109 samples on.
    EXPECT_NEAR(heard[0].down, 1000 + 109, 2.0);
    // A raised cosine of 220 samples reads as about 200 on this envelope; a step as 162.
    EXPECT_NEAR(heard[0].riseSamples, 200, 15) << downSamples;
    EXPECT_NEAR(heard[0].fallSamples, 200, 15) << downSamples;
    // A sine of 16000 at 300 Hz alone has 29; a step of any size shows as much.
    EXPECT_LT(LargestSecondDifference(out), 60) << downSamples;
  }
}

// Renders a steady 1000, so what reaches the output is plain.
class Steady : public RenderSource {
 public:
  void Render(std::span<int16_t> out) override { std::fill(out.begin(), out.end(), 1000); }
};

TEST(KeyingTx, StopIsSilentAtOnceWithTheOutputStillOpenAndCloseReleasesIt) {
  FakeRenderOut device;
  Steady source;
  KeyingTx tx(device, source);
  ASSERT_TRUE(tx.OpenSndTx());
  ASSERT_TRUE(device.Pump(300, 100));
  tx.StopSndTx();
  EXPECT_TRUE(tx.DeviceOpen());
  ASSERT_TRUE(device.Pump(300, 100));
  std::vector<int16_t> expected(600, 0);
  std::fill_n(expected.begin(), 300, int16_t{1000});
  EXPECT_EQ(device.played, expected);
  tx.CloseSndTx();
  EXPECT_EQ(device.openDevices, 0);
  EXPECT_FALSE(device.Pump(1));
  device.openResult = MMSYSERR_NODRIVER;
  EXPECT_FALSE(tx.OpenSndTx());
  EXPECT_FALSE(tx.DeviceOpen());
}

}  // namespace
}  // namespace zudorave::testing
