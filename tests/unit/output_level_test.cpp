// SPDX-License-Identifier: GPL-3.0-or-later
// An output's level applied to a sine block by block, as an audio thread would.
#include "platform/output_level.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "../sound_server/key_edges.h"

namespace zudorave::testing {
namespace {

std::vector<int16_t> Sine(std::size_t samples) {
  std::vector<int16_t> sine(samples);
  for (std::size_t i = 0; i < samples; ++i) {
    sine[i] = static_cast<int16_t>(
        std::lround(32000 * std::sin(2 * std::numbers::pi * 441 * static_cast<double>(i) / 44100)));
  }
  return sine;
}

std::vector<int16_t> Played(OutputLevel& level, std::vector<int16_t> samples) {
  for (std::size_t at = 0; at < samples.size(); at += 256) {
    level.Apply(std::span(samples).subspan(at, std::min<std::size_t>(256, samples.size() - at)));
  }
  return samples;
}

int Peak(std::span<const int16_t> samples) {
  int peak = 0;
  for (const int16_t sample : samples) peak = std::max(peak, std::abs(int{sample}));
  return peak;
}

TEST(OutputLevel, FullLevelIsSampleExactAndEveryChangeGlidesToItsGainWithoutAClick) {
  const std::vector<int16_t> sine = Sine(22050);
  OutputLevel level;
  EXPECT_EQ(Played(level, sine), sine);

  const int32_t sineBend = LargestSecondDifference(sine);
  struct Step {
    int32_t set;
    int32_t db;
    int peak;
  };
  const std::vector<Step> steps = {{-6, -6, 16038},
                                   {-40, -40, 320},
                                   {OutputLevel::Off, OutputLevel::Off, 0},
                                   {-20, -20, 3200},
                                   {12, 0, 32000}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.set);
    level.SetDb(step.set);
    EXPECT_EQ(level.Db(), step.db);
    const std::vector<int16_t> played = Played(level, sine);
    EXPECT_NEAR(Peak(std::span(played).subspan(OutputLevel::RampSamples)), step.peak, 1);
    EXPECT_LE(LargestSecondDifference(played), sineBend + 80) << "a click";
  }
  // Back at 0 dB, once the glide is over, untouched again.
  const std::vector<int16_t> played = Played(level, sine);
  EXPECT_EQ(played, sine);
}

}  // namespace
}  // namespace zudorave::testing
