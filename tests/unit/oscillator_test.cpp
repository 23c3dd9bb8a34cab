// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "synth/snd_tx.h"
#include "test_generator.h"

namespace zudorave::testing {
namespace {

int RisingZeroCrossings(const float* wave) {
  int crossings = 0;
  for (int i = 1; i < SndTx::SampleCount; ++i) crossings += wave[i - 1] < 0 && wave[i] >= 0;
  return crossings;
}

TEST(FillOscillator, ConstructionLeavesAf1At300HzWithA147SamplePeriod) {
  TestGenerator g;
  const float* sine = g.tx.SineArray(1);
  const float* cosine = g.tx.CosineArray(1);
  EXPECT_EQ(sine[0], 0.0f);
  EXPECT_EQ(cosine[0], 32600.0f);
  for (int i = 0; i + 147 < SndTx::SampleCount; i += 13) {
    ASSERT_NEAR(sine[i + 147], sine[i], 1.0f) << i;
  }
  EXPECT_EQ(RisingZeroCrossings(sine), 299);  // the first period starts at sample 0
}

TEST(FillOscillator, ConstructionFrequenciesOfAf2AndAf3) {
  TestGenerator g;
  EXPECT_EQ(RisingZeroCrossings(g.tx.SineArray(2)), 2399);
  EXPECT_EQ(RisingZeroCrossings(g.tx.SineArray(3)), 14999);
  EXPECT_EQ(g.tx.CosineArray(3)[0], 32600.0f);
}

TEST(FillOscillator, AWholeNumberFrequencyLoopsSeamlesslyOverTheSecond) {
  TestGenerator g;
  for (int32_t frequency : {10, 997, 2000, 18000}) {
    g.tx.FillOscillator(2, frequency);
    const float* sine = g.tx.SineArray(2);
    // Sample 44100 would be sample 0 again: the last sample is one step before a new period.
    const double step = static_cast<float>(frequency * 6.2918 / 44100.0);
    const double expectedLast = 32600 * std::sin(std::fmod(44099 * step, 6.2918));
    EXPECT_NEAR(sine[44099], expectedLast, 0.01) << frequency;
    EXPECT_EQ(sine[0], 0.0f);
  }
}

TEST(FillOscillator, NoSampleExceedsTheAmplitude) {
  TestGenerator g;
  for (int index = 1; index <= 3; ++index) {
    for (int i = 0; i < SndTx::SampleCount; ++i) {
      ASSERT_LE(std::abs(g.tx.SineArray(index)[i]), 32600.0f);
      ASSERT_LE(std::abs(g.tx.CosineArray(index)[i]), 32600.0f);
    }
  }
}

TEST(FillOscillator, ThePhaseRunsSlightlyPastAFullTurnBeforeRestarting) {
  TestGenerator g;
  // At 997 Hz (prime to 44100) the phases reach the last 0.0086 rad of the period, past
  // 2 pi, where the value is still positive.
  g.tx.FillOscillator(1, 997);
  const float* sine = g.tx.SineArray(1);
  const double step = static_cast<float>(997 * 6.2918 / 44100.0);
  int overshoots = 0;
  for (int i = 0; i < SndTx::SampleCount; ++i) {
    const double phase = std::fmod(i * step, 6.2918);
    if (phase > 2 * M_PI) {
      ++overshoots;
      ASSERT_GT(sine[i], 0.0f);
      ASSERT_LT(sine[i], 282.0f);
    }
  }
  EXPECT_GT(overshoots, 0);
}

TEST(FillOscillator, AnIndexOtherThanOneToThreeTouchesNothing) {
  TestGenerator g;
  std::vector<float> before[3];
  for (int index = 1; index <= 3; ++index) {
    before[index - 1].assign(g.tx.SineArray(index), g.tx.SineArray(index) + SndTx::SampleCount);
  }
  for (int32_t index : {0, 4, -1, 1000}) g.tx.FillOscillator(index, 1234);
  for (int index = 1; index <= 3; ++index) {
    EXPECT_TRUE(
        std::equal(before[index - 1].begin(), before[index - 1].end(), g.tx.SineArray(index)));
  }
  EXPECT_EQ(g.tx.SineArray(0), nullptr);
  EXPECT_EQ(g.tx.CosineArray(4), nullptr);
}

TEST(FillOscillator, RefillsOnlyTheChosenOscillator) {
  TestGenerator g;
  const float af3Before = g.tx.SineArray(3)[1];
  g.tx.FillOscillator(1, 1000);
  EXPECT_EQ(RisingZeroCrossings(g.tx.SineArray(1)), 999);
  EXPECT_EQ(g.tx.SineArray(3)[1], af3Before);
}

}  // namespace
}  // namespace zudorave::testing
