// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/pitch_finder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zudorave {

namespace {

constexpr double AverageSeconds = 2;
constexpr double BinHz = 10;
// The median is taken a little wider than the search, so a tone at its edge is still a peak.
constexpr double MarginHz = 150;

std::size_t FrameSize(double rate) {
  std::size_t size = 64;
  while (static_cast<double>(size) * 1.41 < rate / BinHz) size *= 2;
  return size;
}

}  // namespace

PitchFinder::PitchFinder(double rate)
    : rate_(rate),
      fft_(FrameSize(rate)),
      hop_(fft_.Size() / 2),
      window_(fft_.Size()),
      input_(fft_.Size()),
      frame_(fft_.Size()) {
  const double binHz = rate / static_cast<double>(fft_.Size());
  first_ = static_cast<std::size_t>(std::max(1.0, (LowestHz - MarginHz) / binHz));
  last_ = std::min(fft_.Size() / 2 - 2, static_cast<std::size_t>((HighestHz + MarginHz) / binHz));
  average_.assign(last_ + 2, 0);
  sorted_.resize(last_ + 1 - first_);
  for (std::size_t n = 0; n < window_.size(); ++n) {
    const double share = static_cast<double>(n) / static_cast<double>(window_.size());
    window_[n] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * share));
  }
}

void PitchFinder::Reset() {
  std::fill(average_.begin(), average_.end(), 0.0);
  std::fill(input_.begin(), input_.end(), 0.0f);
  frames_ = 0;
  sinceFrame_ = 0;
  median_ = 0;
}

bool PitchFinder::Push(float sample) {
  input_[pos_] = sample;
  pos_ = pos_ + 1 == input_.size() ? 0 : pos_ + 1;
  if (++sinceFrame_ < hop_) return false;
  sinceFrame_ = 0;
  return Analyse();
}

bool PitchFinder::Analyse() {
  // Digital silence, before a device delivers, would make any noise after it stand out.
  if (std::all_of(input_.begin(), input_.end(), [](float x) { return x == 0.0f; })) return false;
  const std::size_t size = input_.size();
  for (std::size_t n = 0; n < size; ++n) {
    frame_[n] = {input_[(pos_ + n) % size] * window_[n], 0.0f};
  }
  fft_.Forward(frame_);
  ++frames_;
  const double framesAveraged = AverageSeconds * rate_ / static_cast<double>(hop_);
  const double weight = 1 / std::min(static_cast<double>(frames_), framesAveraged);
  for (std::size_t k = first_; k <= last_ + 1; ++k) {
    average_[k] += weight * (std::norm(frame_[k]) - average_[k]);
  }
  std::copy(average_.begin() + static_cast<std::ptrdiff_t>(first_),
            average_.begin() + static_cast<std::ptrdiff_t>(last_ + 1), sorted_.begin());
  auto middle = sorted_.begin() + static_cast<std::ptrdiff_t>(sorted_.size() / 2);
  std::nth_element(sorted_.begin(), middle, sorted_.end());
  median_ = *middle;
  return true;
}

double PitchFinder::Seconds() const {
  return std::min(AverageSeconds, static_cast<double>(frames_ * hop_) / rate_);
}

PitchFinder::Peak PitchFinder::Strongest() const {
  const double binHz = rate_ / static_cast<double>(fft_.Size());
  const auto low = static_cast<std::size_t>(std::ceil(LowestHz / binHz));
  const auto high = static_cast<std::size_t>(HighestHz / binHz);
  std::size_t best = low;
  for (std::size_t k = low; k <= high; ++k) {
    if (average_[k] > average_[best]) best = k;
  }
  Peak peak;
  if (median_ <= 0 || average_[best] <= 0) return peak;
  // A parabola through the logarithms of the peak and its neighbours puts it between bins.
  const double left = std::log(std::max(average_[best - 1], 1e-30));
  const double centre = std::log(average_[best]);
  const double right = std::log(std::max(average_[best + 1], 1e-30));
  const double bend = left - 2 * centre + right;
  const double shift = bend < 0 ? std::clamp(0.5 * (left - right) / bend, -0.5, 0.5) : 0;
  peak.hz = (static_cast<double>(best) + shift) * binHz;
  peak.score = average_[best] / median_;
  return peak;
}

double PitchFinder::ScoreNear(double hz, double widthHz) const {
  if (median_ <= 0) return 0;
  const double binHz = rate_ / static_cast<double>(fft_.Size());
  const auto low =
      static_cast<std::size_t>(std::max(static_cast<double>(first_), (hz - widthHz) / binHz));
  const auto high = std::min(last_, static_cast<std::size_t>((hz + widthHz) / binHz + 1));
  double most = 0;
  for (std::size_t k = low; k <= high; ++k) most = std::max(most, average_[k]);
  return most / median_;
}

}  // namespace zudorave
