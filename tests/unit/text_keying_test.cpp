// SPDX-License-Identifier: GPL-3.0-or-later
// A text keyed offline, read back from its samples: the station's timeline, whole, between
// its silences.
#include "morse/text_keying.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../sound_server/key_edges.h"
#include "morse/character_timing.h"
#include "morse/key_sequencer.h"
#include "morse/morse_keyer.h"
#include "synth/keyed_tone.h"

namespace zudorave::testing {
namespace {

constexpr int Hz = 441;  // a whole number of samples a period, as Envelope wants

TEST(TextKeying, EveryToneWhereTheStationKeysItBetweenWordGapsOfSilence) {
  struct Case {
    std::string text;
    int32_t wpm;
    int32_t spacingMs;
  };
  const std::vector<Case> cases = {
      {"PARIS PARIS", 20, 0}, {"cq de k1abc?", 25, 150}, {"E", 5, 0}, {"0 #5", 12, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<int16_t> samples;
    ASSERT_TRUE(KeyText(c.text, {c.wpm, Hz, c.spacingMs}, [&samples](auto block) {
      samples.insert(samples.end(), block.begin(), block.end());
      return true;
    }));

    // The tones in milliseconds, each character on from where the one before ended.
    const auto dotMs = static_cast<uint32_t>(MorseKeyer::DotFromWpm(c.wpm));
    std::vector<std::pair<uint64_t, uint64_t>> expected;
    uint64_t ms = 7 * dotMs;
    for (const char code : c.text) {
      if (!Keyable(SendPattern(code))) continue;
      const CharacterTiming timing =
          TimeCharacter(SendPattern(code), dotMs, static_cast<uint32_t>(c.spacingMs));
      for (uint32_t edge = 0; edge + 1 < timing.edges; edge += 2) {
        expected.emplace_back(ms + timing.edgeMs[edge], ms + timing.edgeMs[edge + 1]);
      }
      ms += timing.lengthMs;
    }
    const std::vector<HeardTone> heard = HeardTones(samples, Hz);
    ASSERT_EQ(heard.size(), expected.size());
    // Half-amplitude points stand half a ramp after the key's change.
    const double ramp = KeyedTone::EdgeSamples / 2.0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
      EXPECT_NEAR(heard[i].down, static_cast<double>(MsToSamples(expected[i].first)) + ramp, 3)
          << "tone " << i;
      EXPECT_NEAR(heard[i].up, static_cast<double>(MsToSamples(expected[i].second)) + ramp, 3)
          << "tone " << i;
    }
    // A word's gap at least after the last character's own gap.
    EXPECT_GE(samples.size(), MsToSamples(ms + 7 * dotMs));
    EXPECT_LE(LargestSecondDifference(samples), 300);
  }
}

TEST(TextKeying, StopsWhenTheSamplesAreNotTakenAndFindsNothingToKeyInBlanks) {
  int blocks = 0;
  EXPECT_FALSE(KeyText("PARIS", {20, Hz, 0}, [&blocks](auto) { return ++blocks < 3; }));
  EXPECT_EQ(blocks, 3);
  EXPECT_FALSE(HasKeyedTone("   #~^"));
  EXPECT_TRUE(HasKeyedTone("  #e"));
}

}  // namespace
}  // namespace zudorave::testing
