// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copies Morse from sound. Nothing is set by hand: it finds the tone between 300 and 1200 Hz
// and follows its drift, learns the speed (5 to 50 words a minute) and follows a change, and
// follows the level through fading. Characters come from the decode map, a word gap gives one
// space, and a key that is no character gives nothing.
//
// The way through: the rate is halved down to 4-8 kHz; a spectrum averaged over two seconds
// finds the tone; the tone is mixed down to a narrow band at about 500 Hz; a filter matched
// to the dot length finds key down and key up; the marks and spaces are laid on the timing of
// Morse to learn the speed and read the characters. On finding a tone it starts on the last
// seconds heard, so nothing from the start is lost; after that a character comes well within
// half a second of the gap that ends it.
//
// Threads: one thread makes every call. Feed allocates nothing.
#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "morse/morse_tables.h"
#include "receive/character_reader.h"
#include "receive/key_detector.h"
#include "receive/pitch_finder.h"
#include "receive/rate_reducer.h"
#include "receive/sample_history.h"
#include "receive/timing_model.h"
#include "receive/tone_channel.h"

namespace zudorave {

struct DecoderReadout {
  bool reading = false;  // a tone is found and being read
  double pitchHz = 0;
  double wpm = 0;
  double snrDb = 0;  // the tone while the key is down over the noise in 3000 Hz
};

class CwDecoder {
 public:
  // Mono samples at this rate (8000 Hz and up).
  explicit CwDecoder(double sampleRate);

  // Full scale is 1.
  void Feed(std::span<const float> samples);
  // Full scale is 32768.
  void Feed(std::span<const int16_t> samples);
  // The input has ended: gives what is still under way.
  void Flush();

  // The text read since the last call.
  std::string TakeText();
  DecoderReadout Readout() const;

 private:
  enum class Stage { Searching, Settling, Reading };

  void Reduced(float sample);
  void Baseband(std::complex<float> sample);
  void Spectrum();
  void Lock(double hz);
  void TryStart(bool anyway);
  // Runs the scout over samples from a guess of the dot; gives the dot found and its misfit.
  double Estimate(std::span<const std::complex<float>> samples, double dot, double& misfit);
  void Watch();
  void Scout();

  MorseDecodeMap map_;
  RateReducer reducer_;
  PitchFinder finder_;
  ToneChannel channel_;
  KeyDetector detector_;
  KeyDetector scout_;  // for trial runs over the history
  TimingModel timing_;
  std::vector<ToneRun> trialRuns_;
  std::string text_;
  CharacterReader reader_;
  SampleHistory<float> reduced_;
  SampleHistory<std::complex<float>> baseband_;
  std::array<float, 256> block_{};
  std::array<float, 257> reducedBlock_{};

  Stage stage_ = Stage::Searching;
  std::size_t sinceTry_ = 0;
  std::size_t sinceSteer_ = 0;
  std::size_t sinceScout_ = 0;
  int strongerFrames_ = 0;
  int lostFrames_ = 0;
};

}  // namespace zudorave
