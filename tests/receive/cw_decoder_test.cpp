// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/cw_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "receive/testing/morse_signal.h"

namespace zudorave::testing {
namespace {

struct Case {
  const char* name;
  SignalRecipe recipe;
  double mostErrors;  // character error rate
};

SignalRecipe Keyed(double wpm, double snrDb) {
  SignalRecipe recipe;
  recipe.wpm = wpm;
  recipe.snrDb = snrDb;
  recipe.seed = 11;
  return recipe;
}

// Feeds in 10 ms blocks, as the live path does.
std::string Copy(const std::vector<float>& samples, double rate, DecoderReadout* readout) {
  CwDecoder decoder(rate);
  const auto block = static_cast<std::size_t>(rate / 100);
  std::string text;
  for (std::size_t at = 0; at < samples.size(); at += block) {
    decoder.Feed(std::span<const float>(samples).subspan(at, std::min(block, samples.size() - at)));
    text += decoder.TakeText();
  }
  if (readout) *readout = decoder.Readout();
  decoder.Flush();
  return text + decoder.TakeText();
}

TEST(CwDecoder, CopiesWhatIsSentWithoutBeingToldPitchOrSpeed) {
  std::vector<Case> cases = {
      {"clean, 25 wpm, 900 Hz", Keyed(25, 100), 0.01},
      {"noisy, 18 wpm, -4 dB", Keyed(18, -4), 0.04},
      {"hand-sent", Keyed(16, 10), 0.06},
      {"slows from 28 to 14 wpm at once", Keyed(28, 10), 0.06},
      {"speeds up from 12 to 24 wpm at once", Keyed(12, 10), 0.06},
      {"fades 20 dB and back every 3 s", Keyed(20, 20), 0.03},
      {"5 wpm, first heard 11 Hz off its pitch", Keyed(5, 10), 0.02},
      {"-6 dB after 12 s of digital silence", Keyed(20, -6), 0.02},
  };
  cases[0].recipe.pitchHz = 900;
  cases[2].recipe.jitter = 0.15;
  cases[2].recipe.dashMin = 2.7;
  cases[2].recipe.dashMax = 3.4;
  cases[3].recipe.endWpm = 14;
  cases[3].recipe.step = true;
  cases[4].recipe.endWpm = 24;
  cases[4].recipe.step = true;
  cases[5].recipe.fadeHz = 0.3;
  cases[5].recipe.fadeDb = 20;
  // Noise on which the first spectra put this signal's tone 11 Hz off; at 5 wpm the dot-long
  // filter cancels a tone that far off, and nothing was read.
  cases[6].recipe.seed = 593826113;
  cases[7].recipe.silentSeconds = 12;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TestSignal signal = MakeSignal(c.recipe);
    const std::string copy = Copy(signal.samples, c.recipe.sampleRate, nullptr);
    EXPECT_LE(CharacterErrorRate(copy, signal.expected), c.mostErrors)
        << "sent: " << signal.expected << "\nread: " << copy;
  }
}

TEST(CwDecoder, ReadsLiveSoundAndSaysWhatItFound) {
  SignalRecipe recipe = Keyed(30, 6);
  recipe.sampleRate = 44100;
  recipe.pitchHz = 550;
  recipe.words = 12;
  const TestSignal signal = MakeSignal(recipe);
  std::vector<int16_t> pcm;
  for (const float sample : signal.samples) pcm.push_back(static_cast<int16_t>(sample * 32767));

  CwDecoder decoder(recipe.sampleRate);
  std::string copy;
  for (std::size_t at = 0; at < pcm.size(); at += 441) {
    decoder.Feed(
        std::span<const int16_t>(pcm).subspan(at, std::min<std::size_t>(441, pcm.size() - at)));
    copy += decoder.TakeText();
  }
  const DecoderReadout readout = decoder.Readout();
  decoder.Flush();
  copy += decoder.TakeText();
  EXPECT_LE(CharacterErrorRate(copy, signal.expected), 0.02) << copy;
  EXPECT_TRUE(readout.reading);
  EXPECT_NEAR(readout.pitchHz, 550, 3);
  EXPECT_NEAR(readout.wpm, 30, 2);
  EXPECT_NEAR(readout.snrDb, 6, 3);
}

TEST(CwDecoder, NoiseAloneGivesNextToNothing) {
  SignalRecipe recipe = Keyed(20, -10);
  recipe.words = 0;
  recipe.leadSeconds = 30;
  const TestSignal noise = MakeSignal(recipe);
  EXPECT_LE(Copy(noise.samples, recipe.sampleRate, nullptr).size(), 3u);
}

}  // namespace
}  // namespace zudorave::testing
