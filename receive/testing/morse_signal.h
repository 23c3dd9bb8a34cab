// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Morse on the air, made up for the decoder's tests and bench: random text keyed at a speed
// that may drift, with timing jitter as a hand sends it, 5 ms raised-cosine edges, fading, a
// second station beside it and white noise. Plain C++; any thread, each call on its own data.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zudorave::testing {

struct SignalRecipe {
  double sampleRate = 8000;
  double wpm = 20;    // at the first character
  double endWpm = 0;  // at the last one, linear in between; 0 keeps the speed...
  bool step = false;  // ...or from the middle of the text on
  double pitchHz = 700;
  // Tone power while the key is down over the power of the noise between 0 and 3000 Hz; in a
  // fade, the tone's power over the whole fade. Above 90 there is no noise.
  double snrDb = 100;
  double jitter = 0;  // standard deviation of every element and gap, as a fraction of it
  double dashMin = 3, dashMax = 3;  // a dash in dots, drawn once for the text
  double fadeHz = 0;                // amplitude swings as a cosine at this rate...
  double fadeDb = 0;                // ...from full down to this many dB below
  double qrmOffsetHz = 0;           // a second station this far above the pitch (0: none)...
  double qrmDb = 0;                 // ...this many dB weaker, at a speed of its own
  double pitchDriftHz = 0;          // the pitch moves this far over the text
  double leadSeconds = 1.5, tailSeconds = 1.5;  // noise before and after the text
  double silentSeconds = 0;  // digital silence before it all, as from a device starting
  int words = 30;
  uint32_t seed = 1;
};

struct TestSignal {
  std::vector<float> samples;  // mono, full scale 1
  std::string sent;            // the text keyed
  std::string expected;        // what a perfect copy reads: the decode table's characters
};

// Words, callsigns, numbers and punctuation, separated by single spaces.
std::string RandomText(std::mt19937& random, int words);

// What the decode table makes of text keyed from the encode table: lower case, characters
// without code left out, codes shared by two characters read as the table reads them.
std::string PerfectCopy(const std::string& text);

TestSignal MakeSignal(const SignalRecipe& recipe);

// The tone's mean power over a fade against its power at the top.
double MeanFadePower(const SignalRecipe& recipe);

// Edit distance between the copy and the expected text over the expected text's length, both
// in lower case with runs of spaces as one and no space at either end.
double CharacterErrorRate(const std::string& copy, const std::string& expected);

}  // namespace zudorave::testing
