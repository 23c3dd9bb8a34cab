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
constexpr double Middle = 0.38;
constexpr double Hysteresis = 0.08;  // ...and how far either edge stands off it
// A mark's edges are where it crosses this share of its own level, give or take the hysteresis.
constexpr double EdgeShare = 0.4;
// A mark must stand this far above the noise: noise alone then seldom crosses the threshold.
// While marks come it may stand a little lower, as a gap is short.
constexpr double FloorRatio = 5;
constexpr double ActiveFloorRatio = 3.5;
constexpr double ActiveDots = 10;
constexpr double NoiseSeconds = 0.6;
constexpr double SteadyTurns = 0.7;  // of the turns' sizes their sum must keep
// A mark's level at its end moves the tone's level this far, so it keeps up with a fast fade.
constexpr double PeakWeight = 0.9;
constexpr double PowerWeight = 0.02;
// Without marks the tone's level sinks, so a fade too fast to follow does not lose the signal
// for good.
constexpr double SinkAfterDots = 3;
constexpr double SinkDots = 10;
constexpr double SinkSeconds = 1;
// A Rayleigh-distributed magnitude's mean over its first quartile.
constexpr double MeanOverQuartile = 1.65;
constexpr double QuartileShare = 0.25;
// Magnitudes this far below the tone's are digital silence, not noise: the noise is taken
// afresh once there is some.
constexpr double DigitalSilence = 1e-6;
// Below this share of the tone's level the key is surely up.
constexpr double QuietShare = 0.25;
// The levels of the last marks give how fast the tone fades, and the level sinks as fast
// between marks.
constexpr double TrendGain = 0.5;
constexpr double SlopeGain = 0.3;
constexpr double SteepestFade = 8;  // per second, in log units

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
  runStart_ = pendingStart_ = riseEdge_ = markEnd_ = quiet_ = before_ = 0;
  peak_ = noise_ = signal_ = power_ = 0;
  logLevel_ = slope_ = 0;
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
  // Digital silence, before a device delivers, says nothing of the noise to come.
  const auto heard =
      std::upper_bound(magnitudes.begin(), magnitudes.end(), DigitalSilence * magnitudes.back());
  magnitudes.erase(magnitudes.begin(), heard);
  if (magnitudes.empty()) return;
  noise_ = MeanOverQuartile * magnitudes[magnitudes.size() / 4];
  signal_ = std::max(magnitudes[magnitudes.size() * 95 / 100], FloorRatio * noise_);
  power_ = signal_ * signal_;
}

double KeyDetector::Threshold(bool rising) const { return Level(signal_, rising); }

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
  magnitudes_[static_cast<std::size_t>(now_) % Longest] = static_cast<float>(magnitude);

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
  // A mark not yet confirmed may have ended the space already, and one too faded to pass the
  // threshold yet may be rising: the space is only as long as it has been quiet.
  if (magnitude < Level(QuietShare * signal_, true)) quiet_ = static_cast<double>(now_);
  if (!down_) {
    const double end = std::min(pending_ ? pendingStart_ : static_cast<double>(now_), quiet_);
    sink.OnSilence(std::max(0.0, end - runStart_) / rate_);
  }
  previous_ = magnitude;
  last_ = sum_;
}

void KeyDetector::Follow(double magnitude) {
  lowRun_ = raw_ ? 0 : lowRun_ + 1;
  if (raw_) peak_ = std::max(peak_, magnitude);
  // A mark stronger than the level lifts it at once, so it ends where it falls, not in the
  // tail the filter leaves behind it.
  if (down_ && raw_) signal_ = std::max(signal_, magnitude);
  if (down_ || raw_) return;
  // The noise is taken from a little while back, where the filter held neither the mark
  // before nor the rise of the next one.
  const std::size_t back = length_ * 6 / 10;
  if (lowRun_ > back + length_) {
    const double then =
        magnitudes_[static_cast<std::size_t>(now_ - static_cast<int64_t>(back)) % Longest];
    // The lowest quarter is followed, not the mean: a mark too faded to be seen passes for
    // key up, and a mean would rise on it and bury the next marks as well.
    const double step = 1 / (QuartileShare * NoiseSeconds * rate_);
    if (noise_ <= DigitalSilence * signal_) noise_ = then * MeanOverQuartile;
    noise_ *= std::exp(then * MeanOverQuartile < noise_ ? (QuartileShare - 1) * step
                                                        : QuartileShare * step);
  }
  // The level sinks as fast as the last marks faded, and slowly in any case once they stop.
  const double since = static_cast<double>(now_) - markEnd_;
  if (markEnd_ > 0 && slope_ < 0) signal_ *= std::exp(slope_ / rate_);
  if (since > SinkAfterDots * dot_ * rate_) {
    const double seconds = std::max(SinkSeconds, SinkDots * dot_);
    signal_ *= std::exp(-1 / (seconds * rate_));
  }
  const bool active = markEnd_ > 0 && since < ActiveDots * dot_ * rate_;
  signal_ = std::max(signal_, (active ? ActiveFloorRatio : FloorRatio) * noise_);
}

void KeyDetector::Confirm(double edge, RunSink& sink) {
  pending_ = false;
  if (!down_) {
    // The space is told with the mark: where it ended depends on the mark's own level.
    down_ = true;
    riseEdge_ = edge;
    before_ = signal_;
    return;
  }
  // Edges are taken against the mark's own level, not the level of the marks before it, so a
  // fading mark keeps its length and the space beside it its own.
  const double ending = Highest(riseEdge_, edge, false);
  const double rise = Cross(riseEdge_, Edge(Highest(riseEdge_, edge, true), true), true);
  const double fall = Cross(edge, Edge(ending, false), false);
  // The level the mark ended on is the nearest to the next one's.
  signal_ = before_ + PeakWeight * (ending - before_);
  Trend(ending, fall);
  peak_ = 0;
  markEnd_ = fall;
  down_ = false;
  sink.OnRun({false, (rise - runStart_) / rate_});
  sink.OnRun({true, (fall - rise) / rate_});
  runStart_ = fall;
}

void KeyDetector::Trend(double level, double at) {
  const double logLevel = std::log(std::max(level, 1e-12));
  if (markEnd_ <= 0 || at <= markEnd_) {
    logLevel_ = logLevel;
    slope_ = 0;
    return;
  }
  const double seconds = (at - markEnd_) / rate_;
  const double predicted = logLevel_ + slope_ * seconds;
  const double miss = logLevel - predicted;
  logLevel_ = predicted + TrendGain * miss;
  slope_ = std::clamp(slope_ + SlopeGain * miss / seconds, -SteepestFade, SteepestFade);
}

double KeyDetector::Level(double level, bool rising) const {
  return noise_ + (Middle + (rising ? Hysteresis : -Hysteresis)) * (level - noise_);
}

double KeyDetector::Edge(double level, bool rising) const {
  return noise_ + (EdgeShare + (rising ? Hysteresis : -Hysteresis)) * (level - noise_);
}

double KeyDetector::Highest(double rise, double fall, bool atRise) const {
  const auto first = static_cast<int64_t>(std::ceil(rise));
  const auto last = static_cast<int64_t>(std::floor(fall));
  const auto reach = static_cast<int64_t>(length_);
  const int64_t from =
      std::max({atRise ? first : last - reach, first, now_ - static_cast<int64_t>(Longest) + 1});
  const int64_t to = std::min(atRise ? first + reach : last, last);
  double highest = 0;
  for (int64_t k = from; k <= to; ++k) {
    highest =
        std::max(highest, static_cast<double>(magnitudes_[static_cast<std::size_t>(k) % Longest]));
  }
  return highest > 0 ? highest : peak_;
}

double KeyDetector::Cross(double edge, double level, bool rising) const {
  const auto at = [&](int64_t k) {
    return static_cast<double>(magnitudes_[static_cast<std::size_t>(k) % Longest]);
  };
  // Past the crossing: above the level when rising, below it when falling.
  const auto past = [&](int64_t k) { return rising == (at(k) >= level); };
  const int64_t oldest = std::max<int64_t>(
      {1, now_ - static_cast<int64_t>(Longest) + 1, static_cast<int64_t>(runStart_)});
  auto k = static_cast<int64_t>(std::floor(edge));
  if (k < oldest || k >= now_) return edge;
  if (past(k + 1)) {
    while (k > oldest && past(k)) --k;
  } else {
    while (k + 1 < now_ && !past(k + 1)) ++k;
  }
  if (past(k) || !past(k + 1)) return edge;
  const double a = at(k), b = at(k + 1);
  return static_cast<double>(k) + (b != a ? std::clamp((level - a) / (b - a), 0.0, 1.0) : 0.5);
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
