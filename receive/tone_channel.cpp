// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/tone_channel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zudorave {

namespace {
constexpr double CutHz = 125;         // half way down
constexpr double TransitionHz = 120;  // pass to 65 Hz, stop from 185 Hz
constexpr double KaiserBeta = 5.65;   // 60 dB down
}  // namespace

ToneChannel::ToneChannel(double rate)
    : rate_(rate), factor_(std::max<std::size_t>(1, std::lround(rate / TargetRate))) {
  const double width = TransitionHz / rate;
  auto count =
      static_cast<std::size_t>(std::ceil((60 - 8) / (2.285 * 2 * std::numbers::pi * width)));
  count |= 1;
  const double half = static_cast<double>(count - 1) / 2;
  const double scale = std::cyl_bessel_i(0.0, KaiserBeta);
  double sum = 0;
  std::vector<double> taps(count);
  for (std::size_t n = 0; n < count; ++n) {
    const double k = static_cast<double>(n) - half;
    const double x = 2 * CutHz / rate * k;
    const double sinc = k == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
    const double window =
        std::cyl_bessel_i(0.0, KaiserBeta * std::sqrt(1 - (k / half) * (k / half)));
    taps[n] = sinc * window / scale;
    sum += taps[n];
  }
  for (double tap : taps) taps_.push_back(static_cast<float>(tap / sum));
  re_.assign(2 * count, 0.0f);
  im_.assign(2 * count, 0.0f);
}

void ToneChannel::Tune(double hz) {
  hz_ = hz;
  const double angle = -2 * std::numbers::pi * hz / rate_;
  step_ = {std::cos(angle), std::sin(angle)};
}

bool ToneChannel::Push(float sample, std::complex<float>& out) {
  const std::size_t count = taps_.size();
  const auto re = static_cast<float>(sample * phasor_.real());
  const auto im = static_cast<float>(sample * phasor_.imag());
  re_[pos_] = re_[pos_ + count] = re;
  im_[pos_] = im_[pos_ + count] = im;
  pos_ = pos_ + 1 == count ? 0 : pos_ + 1;
  phasor_ *= step_;
  if (++sinceNormal_ == 1024) {
    phasor_ /= std::abs(phasor_);
    sinceNormal_ = 0;
  }
  if (++count_ < factor_) return false;
  count_ = 0;
  // re_[pos_ .. pos_ + count) holds the samples oldest first; the taps are symmetric.
  const float* x = &re_[pos_];
  const float* y = &im_[pos_];
  float sumRe = 0, sumIm = 0;
  for (std::size_t k = 0; k < count; ++k) {
    sumRe += taps_[k] * x[k];
    sumIm += taps_[k] * y[k];
  }
  out = {sumRe, sumIm};
  return true;
}

}  // namespace zudorave
