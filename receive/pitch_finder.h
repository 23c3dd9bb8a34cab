// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Looks for the keyed tone: power spectra of the reduced signal, about 10 Hz a bin, averaged
// over a couple of seconds, and their strongest peak between 300 and 1200 Hz measured against
// the median of the band, so that a tone stands out of any smooth noise.
// Threads: one at a time.
#include <complex>
#include <cstddef>
#include <vector>

#include "receive/fft.h"

namespace zudorave {

class PitchFinder {
 public:
  static constexpr double LowestHz = 300;
  static constexpr double HighestHz = 1200;

  explicit PitchFinder(double rate);

  // Takes a sample; true when a new spectrum has just been averaged in (digital silence is
  // not).
  bool Push(float sample);
  void Reset();

  struct Peak {
    double hz = 0;
    double score = 0;  // average power over the band's median
  };
  Peak Strongest() const;
  // The score of the strongest bin within widthHz of hz.
  double ScoreNear(double hz, double widthHz) const;
  // Seconds of signal averaged so far, up to the averaging time.
  double Seconds() const;
  // Seconds between two spectra.
  double FrameSeconds() const { return static_cast<double>(hop_) / rate_; }

 private:
  // False when the frame is digital silence and was left out.
  bool Analyse();

  double rate_;
  Fft fft_;
  std::size_t hop_;
  std::size_t first_, last_;  // the bins searched
  std::vector<float> window_;
  std::vector<float> input_;  // the last fft size samples, in a ring
  std::size_t pos_ = 0;
  std::size_t sinceFrame_ = 0;
  std::vector<std::complex<float>> frame_;
  std::vector<double> average_;
  std::vector<double> sorted_;
  double median_ = 0;
  std::size_t frames_ = 0;
};

}  // namespace zudorave
