// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include "synth/snd_tx.h"
#include "test_generator.h"

namespace zudorave::testing {
namespace {

TEST(CaptureCycle, At300HzStopsAtTheFirstRisingSampleAfter200) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  cycle.fill(99.0f);
  EXPECT_EQ(g.tx.CaptureCycle(cycle.data(), 300), 258);
  // Table index 538 then 543: just past the minimum, rising.
  EXPECT_EQ(cycle[257], g.tx.SineTableAt(538));
  EXPECT_EQ(cycle[258], g.tx.SineTableAt(543));
  for (int i = 259; i < 500; ++i) ASSERT_EQ(cycle[i], 0.0f) << i;
  EXPECT_EQ(cycle[500], 99.0f);  // the capture works on the first 500 entries only
}

TEST(CaptureCycle, TheSinusFlagChangesNothingWithAUnitTable) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> plain{};
  std::array<float, SndTx::CycleBufferSize> sinus{};
  const int32_t n = g.tx.CaptureCycle(plain.data(), 300);
  g.tx.SetSinus(true);
  EXPECT_EQ(g.tx.CaptureCycle(sinus.data(), 300), n);
  EXPECT_EQ(plain, sinus);
}

TEST(CaptureCycle, TableIndicesWrapAtTheTableSize) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  g.tx.CaptureCycle(cycle.data(), 300);
  const double step = static_cast<float>(720 / (44100.0 / 300));
  for (int i = 0; i < 258; ++i) {
    const auto k = static_cast<int>(i * step) % 720;
    ASSERT_EQ(cycle[i], g.tx.SineTableAt(k)) << i;
  }
}

TEST(CaptureCycle, NoStopIsTakenAtOrBeforeIndex200) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  // At 44100 Hz every sample reads table index 0 (0.0): no sample ever rises, so no stop.
  EXPECT_EQ(g.tx.CaptureCycle(cycle.data(), 44100), 0);
  // Every step of 16 table points rises somewhere; whatever the frequency the stop is past 200.
  for (int32_t frequency : {100, 980, 4410, 12345}) {
    const int32_t n = g.tx.CaptureCycle(cycle.data(), frequency);
    if (n != 0) {
      EXPECT_GT(n, 200) << frequency;
    }
  }
}

TEST(CaptureCycle, AFrequencyOfZeroOrBelowFindsNothing) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  cycle.fill(7.0f);
  EXPECT_EQ(g.tx.CaptureCycle(cycle.data(), 0), 0);
  EXPECT_EQ(g.tx.CaptureCycle(cycle.data(), -300), 0);
  EXPECT_EQ(cycle[0], 7.0f);
  // Huge frequencies index the table without overflow.
  EXPECT_GE(g.tx.CaptureCycle(cycle.data(), 2147483647), 0);
}

TEST(FillFromCycle, TilesTheStretchAndTakesTheTailFromItsStart) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  for (int j = 0; j < 258; ++j) cycle[j] = static_cast<float>(j) + 0.75f;
  cycle[1] = -3.9f;  // truncated toward zero
  g.tx.FillFromCycle(cycle.data(), 258);
  // 170 repeats of 258 cover 43860 samples; the 240-sample tail starts over.
  EXPECT_EQ(g.tx.OutputSample(0), 0);
  EXPECT_EQ(g.tx.OutputSample(1), -3);
  EXPECT_EQ(g.tx.OutputSample(257), 257);
  EXPECT_EQ(g.tx.OutputSample(258), 0);
  EXPECT_EQ(g.tx.OutputSample(169 * 258 + 100), 100);
  EXPECT_EQ(g.tx.OutputSample(43860), 0);
  EXPECT_EQ(g.tx.OutputSample(43861), -3);
  EXPECT_EQ(g.tx.OutputSample(44099), 239);
}

TEST(FillFromCycle, ValuesBeyondSixteenBitsWrap) {
  TestGenerator g;
  std::array<float, SndTx::CycleBufferSize> cycle{};
  cycle[0] = 32768.0f;
  cycle[1] = 70000.0f;
  g.tx.FillFromCycle(cycle.data(), 2);
  EXPECT_EQ(g.tx.OutputSample(0), -32768);
  EXPECT_EQ(g.tx.OutputSample(1), 70000 - 65536);
}

}  // namespace
}  // namespace zudorave::testing
