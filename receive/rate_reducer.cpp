// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/rate_reducer.h"

#include <cmath>
#include <numbers>

namespace zudorave {

namespace {
constexpr double LowestRate = 4000;
constexpr double KaiserBeta = 7;
}  // namespace

// A windowed sinc cutting at a quarter of the rate: every even tap but the centre is 0.
HalfBand::HalfBand() {
  const int half = Taps / 2;
  const double scale = std::cyl_bessel_i(0.0, KaiserBeta);
  double sum = 0.5;
  for (int p = 0; p < Pairs; ++p) {
    const int k = 2 * p + 1;
    const double x = static_cast<double>(k) / half;
    const double window = std::cyl_bessel_i(0.0, KaiserBeta * std::sqrt(1 - x * x)) / scale;
    const double sinc = std::sin(std::numbers::pi * k / 2) / (std::numbers::pi * k);
    pair_[p] = static_cast<float>(sinc * window);
    sum += 2 * sinc * window;
  }
  // Unit gain at 0 Hz.
  for (float& tap : pair_) tap = static_cast<float>(tap / sum);
  centre_ = static_cast<float>(0.5 / sum);
}

bool HalfBand::Push(float in, float& out) {
  line_[pos_] = in;
  line_[pos_ + Taps] = in;
  pos_ = pos_ + 1 == Taps ? 0 : pos_ + 1;
  odd_ = !odd_;
  if (odd_) return false;
  // line_[pos_ .. pos_ + Taps) holds the inputs oldest first.
  const float* x = &line_[pos_];
  const int mid = Taps / 2;
  float sum = centre_ * x[mid];
  for (int p = 0; p < Pairs; ++p) {
    const int k = 2 * p + 1;
    sum += pair_[p] * (x[mid - k] + x[mid + k]);
  }
  out = sum;
  return true;
}

RateReducer::RateReducer(double inputRate) : outputRate_(inputRate) {
  while (outputRate_ >= 2 * LowestRate) {
    stages_.emplace_back();
    outputRate_ /= 2;
  }
}

std::size_t RateReducer::Reduce(std::span<const float> in, std::span<float> out) {
  std::size_t written = 0;
  for (float sample : in) {
    bool ready = true;
    for (HalfBand& stage : stages_) {
      if (!stage.Push(sample, sample)) {
        ready = false;
        break;
      }
    }
    if (ready) out[written++] = sample;
  }
  return written;
}

}  // namespace zudorave
