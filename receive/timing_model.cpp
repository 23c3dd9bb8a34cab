// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/timing_model.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zudorave {

namespace {

constexpr double ShortestDot = 0.018;  // 67 wpm
constexpr double LongestDot = 0.3;     // 4 wpm
constexpr double GridStep = 0.015;     // in log units
constexpr double Keep = 0.92;          // an entry's weight against the next newer one
constexpr double Cap = 0.3;            // the most one entry can cost, so outliers do not rule
constexpr double LongestSpace = 3;     // seconds; a longer pause says nothing of the speed
constexpr std::size_t MarksToKnow = 5;
constexpr std::size_t SpacesToKnow = 4;
// Moving away from the dot found so far costs this much per squared log unit: a few characters
// at a new speed outweigh it, a few noisy lengths do not.
constexpr double Stay = 2;
// Morse is full of dots and element gaps: a dot length that leaves fewer than this share of
// them is a multiple of the true one.
constexpr double Fewest = 0.2;
constexpr double Scarce = 4;

const double Log3 = std::log(3.0);
const double Log7 = std::log(7.0);

double Squared(double x) { return x * x; }

using Entry = TimingModel::Entry;

// Which multiple of the dot a length is nearest, in log units.
int Units(bool tone, double logUnits) {
  if (logUnits < 0.5 * Log3) return 1;
  if (tone || logUnits < 0.5 * (Log3 + Log7)) return 3;
  return 7;
}

// How badly the entries, newest first, each keep times the weight of the next newer one, lie on
// the grid of a dot length. Too few element gaps always count against it, too few dots only
// when scarce is set: a text may run to dashes for a while, but hardly ever without a
// character of two elements or more.
double Cost(std::span<const Entry> entries, double keep, double logDot, bool scarce) {
  double cost = 0;
  double weight = 1;
  double ones[2] = {}, all[2] = {};  // dots and element gaps among marks and spaces
  for (const Entry& entry : entries) {
    const double x = entry.log - logDot;
    const double one = Squared(x);
    double best = std::min(one, Squared(x - Log3));
    if (!entry.tone) best = std::min(best, Squared(x - Log7));
    cost += weight * std::min(best, Cap);
    ones[entry.tone ? 0 : 1] += one == best ? weight : 0;
    all[entry.tone ? 0 : 1] += weight;
    weight *= keep;
  }
  const double total = all[0] + all[1];
  for (int kind = scarce ? 0 : 1; kind < 2; ++kind) {
    if (all[kind] > 0) cost += Scarce * total * std::max(0.0, Fewest - ones[kind] / all[kind]);
  }
  return cost;
}

// The grid's best dot length for the entries, in log units, with a pull towards lastLog.
double BestLog(std::span<const Entry> entries, double keep, bool scarce, double lastLog,
               double stay, double& cost) {
  double bestLog = lastLog;
  cost = Cost(entries, keep, bestLog, scarce);
  for (double logDot = std::log(ShortestDot); logDot <= std::log(LongestDot); logDot += GridStep) {
    const double trial = Cost(entries, keep, logDot, scarce) + stay * Squared(logDot - lastLog);
    if (trial < cost) {
      cost = trial;
      bestLog = logDot;
    }
  }
  return bestLog;
}

}  // namespace

double TimingModel::FitDot(std::span<const ToneRun> runs, double& misfit) {
  std::vector<Entry> entries;
  for (const ToneRun& run : runs) {
    if (run.seconds > 0 && (run.tone || run.seconds <= LongestSpace)) {
      entries.push_back({run.tone, std::log(run.seconds)});
    }
  }
  if (entries.empty()) {
    misfit = HUGE_VAL;
    return 0.06;
  }
  double cost = 0;
  const double logDot = BestLog(entries, 1, true, std::log(0.06), 0, cost);
  misfit = cost / static_cast<double>(entries.size());
  return std::exp(logDot);
}

void TimingModel::Reset(double dotSeconds) {
  count_ = marks_ = spaces_ = 0;
  settled_ = false;
  dot_ = dotSeconds;
  misfit_ = 0;
  dashFrom_ = std::sqrt(3.0) * dot_;
  characterFrom_ = std::sqrt(3.0) * dot_;
  wordFrom_ = std::sqrt(21.0) * dot_;
}

void TimingModel::Settle(double dotSeconds) {
  Reset(dotSeconds);
  settled_ = true;
}

bool TimingModel::Known() const {
  return settled_ || (marks_ >= MarksToKnow && spaces_ >= SpacesToKnow);
}

void TimingModel::Add(const ToneRun& run) {
  if (run.seconds <= 0 || (!run.tone && run.seconds > LongestSpace)) return;
  std::copy_backward(entries_.begin(), entries_.end() - 1, entries_.end());
  entries_[0] = {run.tone, std::log(run.seconds)};
  count_ = std::min(count_ + 1, Kept);
  ++(run.tone ? marks_ : spaces_);
  Refit();
}

void TimingModel::Refit() {
  const std::span<const Entry> entries(entries_.data(), count_);
  const bool known = Known();
  double cost = 0;
  double bestLog = BestLog(entries, Keep, !known, std::log(dot_), known ? Stay : 0, cost);

  // The dot that best fits the entries near their grid points, still pulled towards the last.
  const double stay = known ? Stay : 0;
  double fitted = stay * std::log(dot_), fittedWeight = stay;
  double weight = 1, misfit = 0, total = 0;
  for (const Entry& entry : entries) {
    const double x = entry.log - bestLog;
    const int units = Units(entry.tone, x);
    const double grid = units == 1 ? 0 : units == 3 ? Log3 : Log7;
    if (units != 7 && std::abs(x - grid) < 0.5) {
      fitted += weight * (entry.log - grid);
      fittedWeight += weight;
    }
    misfit += weight * std::min(Squared(x - grid), Cap);
    total += weight;
    weight *= Keep;
  }
  if (fittedWeight > 0) bestLog = fitted / fittedWeight;
  misfit_ = total > 0 ? misfit / total : 0;
  dot_ = std::exp(bestLog);

  // The typical length of each kind as this sender keys it: a weighted geometric mean of its
  // members and of its length on the grid, which counts as one more member.
  double sum[4] = {bestLog, bestLog + Log3, bestLog, bestLog + Log3};  // dot, dash, gaps
  double weights[4] = {1, 1, 1, 1};
  weight = 1;
  for (const Entry& entry : entries) {
    const double x = entry.log - bestLog;
    const int units = Units(entry.tone, x);
    if (units != 7) {
      const int kind = (entry.tone ? 0 : 2) + (units == 3 ? 1 : 0);
      sum[kind] += weight * entry.log;
      weights[kind] += weight;
    }
    weight *= Keep;
  }
  double typical[4];
  for (int kind = 0; kind < 4; ++kind) typical[kind] = std::exp(sum[kind] / weights[kind]);
  dashFrom_ = std::sqrt(typical[0] * typical[1]);
  characterFrom_ = std::sqrt(typical[2] * typical[3]);
  wordFrom_ = std::max(typical[3] * std::sqrt(7.0 / 3.0), 1.2 * characterFrom_);
}

TimingModel::Gap TimingModel::GapOf(double seconds) const {
  if (seconds >= wordFrom_) return Gap::Word;
  return seconds >= characterFrom_ ? Gap::Character : Gap::Element;
}

double TimingModel::Doubt(double seconds) const { return std::abs(std::log(seconds / dashFrom_)); }

}  // namespace zudorave
