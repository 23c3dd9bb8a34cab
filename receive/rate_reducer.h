// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Halves the sample rate through a chain of half-band filters until it lies between 4 and
// 8 kHz. The pitches read (300-1200 Hz) pass untouched, and everything after works on a
// tenth of the samples or fewer. Threads: one at a time.
#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace zudorave {

class HalfBand {
 public:
  static constexpr int Taps = 31;

  HalfBand();
  // Takes a sample; every second one gives an output in out.
  bool Push(float in, float& out);

 private:
  static constexpr int Pairs = (Taps + 1) / 4;  // the taps beside the centre that are not 0
  std::array<float, Pairs> pair_{};             // for offsets 1, 3, 5, ...
  float centre_ = 0.5f;
  std::array<float, 2 * Taps> line_{};  // the last Taps inputs, written twice
  int pos_ = 0;
  bool odd_ = false;
};

class RateReducer {
 public:
  explicit RateReducer(double inputRate);
  double OutputRate() const { return outputRate_; }
  // The most samples Reduce writes for count given.
  static std::size_t MostOut(std::size_t count) { return count + 1; }
  // Writes the reduced samples to out (MostOut(in.size()) long at least); returns how many.
  std::size_t Reduce(std::span<const float> in, std::span<float> out);

 private:
  std::vector<HalfBand> stages_;
  double outputRate_;
};

}  // namespace zudorave
