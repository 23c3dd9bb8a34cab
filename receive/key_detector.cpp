// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/key_detector.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace zudorave {

namespace {

constexpr double FilterDots = 0.8;
constexpr double ShortestDots = 0.35;
// The threshold between the levels: below half way, as the tone's level dips in noise far
// more than the noise rises...
constexpr double Middle = 0.4;
constexpr double Hysteresis = 0.08;  // ...and how far either edge stands off it
// A mark must stand this far above the noise: noise alone then seldom crosses the threshold.
// While marks come it may stand a little lower, as a gap is short.
constexpr double FloorRatio = 5;
constexpr double ActiveFloorRatio = 3.5;
constexpr double ActiveDots = 10;
constexpr double NoiseSeconds = 0.6;
constexpr double SteadyTurns = 0.7;  // of the turns' sizes their sum must keep
// A mark's peak moves the tone's level this far, so the level keeps up with a fast fade.
constexpr double PeakWeight = 0.7;
constexpr double PowerWeight = 0.02;
// Without marks the tone's level sinks, so a fade does not lose the signal for good.
constexpr double SinkAfterDots = 3;
constexpr double SinkDots = 10;
constexpr double SinkSeconds = 1;
// A Rayleigh-distributed magnitude's mean over its first quartile.
constexpr double MeanOverQuartile = 1.65;

}  // namespace

KeyDetector::KeyDetector(double rate) : rate_(rate), dot_(0.06) { SetDot(dot_); }

void KeyDetector::Reset() {
  ring_.fill({});
  magnitudes_.fill(0);
  lowRun_ = 0;
  pos_ = 0;
  sum_ = last_ = {};
  sinceExact_ = 0;
  now_ = 0;
  previous_ = 0;
  raw_ = down_ = pending_ = false;
  runStart_ = pendingStart_ = markEnd_ = 0;
  peak_ = noise_ = signal_ = power_ = 0;
  turn_ = {};
  turnSize_ = 0;
}

void KeyDetector::SetDot(double seconds) {
  dot_ = seconds;
  shortest_ = std::max<std::size_t>(1, std::lround(ShortestDots * seconds * rate_));
  const auto length =
      std::clamp<std::size_t>(std::lround(FilterDots * seconds * rate_), 2, Longest);
  if (length == length_) return;
  // A longer sum has less noise in it.
  noise_ *= std::sqrt(static_cast<double>(length_) / static_cast<double>(length));
  length_ = length;
  sum_ = {};
  for (std::size_t k = 0; k < length_; ++k) {
    sum_ += std::complex<double>(ring_[pos_ + Longest - 1 - k]);
  }
}

void KeyDetector::Prime(std::span<const std::complex<float>> samples) {
  std::vector<double> magnitudes;
  std::complex<double> sum{};
  for (std::size_t n = 0; n < samples.size(); ++n) {
    sum += std::complex<double>(samples[n]);
    if (n >= length_) sum -= std::complex<double>(samples[n - length_]);
    if (n + 1 >= length_) magnitudes.push_back(std::abs(sum) / static_cast<double>(length_));
  }
  if (magnitudes.empty()) return;
  std::sort(magnitudes.begin(), magnitudes.end());
  noise_ = MeanOverQuartile * magnitudes[magnitudes.size() / 4];
  signal_ = std::max(magnitudes[magnitudes.size() * 95 / 100], FloorRatio * noise_);
  power_ = signal_ * signal_;
}

double KeyDetector::Threshold(bool rising) const {
  const double span = signal_ - noise_;
  return noise_ + (Middle + (rising ? Hysteresis : -Hysteresis)) * span;
}

void KeyDetector::Push(std::complex<float> sample, RunSink& sink) {
  const std::complex<float> leaving = ring_[pos_ + Longest - length_];
  ring_[pos_] = ring_[pos_ + Longest] = sample;
  pos_ = pos_ + 1 == Longest ? 0 : pos_ + 1;
  sum_ += std::complex<double>(sample) - std::complex<double>(leaving);
  if (++sinceExact_ == 4096) {
    // Rounding would pile up in the running sum.
    sinceExact_ = 0;
    sum_ = {};
    for (std::size_t k = 0; k < length_; ++k) {
      sum_ += std::complex<double>(ring_[pos_ + Longest - 1 - k]);
    }
  }
  ++now_;
  const double magnitude = std::abs(sum_) / static_cast<double>(length_);

  const double threshold = Threshold(!raw_);
  if (raw_ != (magnitude > threshold)) {
    raw_ = !raw_;
    const double step = magnitude - previous_;
    const double into = step != 0 ? std::clamp((threshold - previous_) / step, 0.0, 1.0) : 1.0;
    const double edge = static_cast<double>(now_ - 1) + into;
    if (raw_ == down_) {
      pending_ = false;  // a glitch, over
      if (!down_) peak_ = 0;
    } else if (!pending_) {
      pending_ = true;
      pendingStart_ = edge;
    }
  }
  if (pending_ && static_cast<double>(now_) - pendingStart_ >= static_cast<double>(shortest_)) {
    Confirm(pendingStart_, sink);
  }
  if (down_ && raw_) {
    const std::complex<double> turn = sum_ * std::conj(last_);
    turn_ += turn;
    turnSize_ += std::abs(turn);
    power_ += PowerWeight * (magnitude * magnitude - power_);
  }
  Follow(magnitude);
  // A mark not yet confirmed may have ended the space already.
  if (!down_) {
    const double end = pending_ ? pendingStart_ : static_cast<double>(now_);
    sink.OnSilence((end - runStart_) / rate_);
  }
  previous_ = magnitude;
  last_ = sum_;
}

void KeyDetector::Follow(double magnitude) {
  magnitudes_[static_cast<std::size_t>(now_) % Longest] = static_cast<float>(magnitude);
  lowRun_ = raw_ ? 0 : lowRun_ + 1;
  if (raw_) peak_ = std::max(peak_, magnitude);
  if (down_ || raw_) return;
  // The noise is taken from a little while back, where the filter held neither the mark
  // before nor the rise of the next one.
  const std::size_t back = length_ * 6 / 10;
  if (lowRun_ > back + length_) {
    const double then =
        magnitudes_[static_cast<std::size_t>(now_ - static_cast<int64_t>(back)) % Longest];
    noise_ += (then - noise_) / (NoiseSeconds * rate_);
  }
  // Before the first mark the level comes from Prime, and nothing has faded yet.
  const double since = static_cast<double>(now_) - markEnd_;
  if (markEnd_ > 0 && since > SinkAfterDots * dot_ * rate_) {
    const double seconds = std::max(SinkSeconds, SinkDots * dot_);
    signal_ *= std::exp(-1 / (seconds * rate_));
  }
  const bool active = markEnd_ > 0 && since < ActiveDots * dot_ * rate_;
  signal_ = std::max(signal_, (active ? ActiveFloorRatio : FloorRatio) * noise_);
}

void KeyDetector::Confirm(double edge, RunSink& sink) {
  const double seconds = (edge - runStart_) / rate_;
  if (down_) {
    signal_ += PeakWeight * (peak_ - signal_);
    peak_ = 0;
    markEnd_ = edge;
  }
  const bool tone = down_;
  down_ = !down_;
  runStart_ = edge;
  pending_ = false;
  sink.OnRun({tone, seconds});
}

void KeyDetector::Flush(RunSink& sink) {
  const double now = static_cast<double>(now_);
  if (pending_) Confirm(pendingStart_, sink);
  if (down_) Confirm(now, sink);
  // The space that follows has no end; say how long it has lasted.
  sink.OnSilence((now - runStart_) / rate_);
}

double KeyDetector::SnrDb() const {
  const double noise = 4 / std::numbers::pi * noise_ * noise_;
  if (noise <= 0) return 0;
  const double band = std::max(power_ - noise, 1e-6 * noise) / noise;
  const double seconds = static_cast<double>(length_) / rate_;
  return 10 * std::log10(band / (3000 * seconds));
}

double KeyDetector::TakeOffsetHz() {
  const std::complex<double> turn = turn_;
  const double size = turnSize_;
  turn_ = {};
  turnSize_ = 0;
  // Turns that point every which way are noise, not a tone off its frequency.
  if (size == 0 || std::abs(turn) < SteadyTurns * size) return 0;
  return std::arg(turn) * rate_ / (2 * std::numbers::pi);
}

}  // namespace zudorave
