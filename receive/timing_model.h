// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Learns the sender's timing from the recent marks and spaces: the dot length that best lays
// them on the grid of Morse (marks of 1 and 3 dots, spaces of 1, 3 and 7), the newest counting
// most so that a change of speed is followed within a character or two; then the typical dot,
// dash, element gap and character gap as this sender keys them, and the thresholds half way
// between them. Threads: one at a time.
#include <array>
#include <cstddef>
#include <span>

#include "receive/key_detector.h"

namespace zudorave {

class TimingModel {
 public:
  enum class Gap { Element, Character, Word };

  // The dot length that fits a stretch of runs best, all of them counting alike; misfit gets
  // how badly they fit (see Misfit). For a start on what has been heard.
  static double FitDot(std::span<const ToneRun> runs, double& misfit);

  TimingModel() { Reset(0.06); }
  // Starts learning afresh from a guess.
  void Reset(double dotSeconds);
  // Starts afresh from a dot length known to be right.
  void Settle(double dotSeconds);
  void Add(const ToneRun& run);

  // Enough marks and spaces seen to trust the dot length.
  bool Known() const;
  double Dot() const { return dot_; }
  bool IsDash(double seconds) const { return seconds > dashFrom_; }
  Gap GapOf(double seconds) const;
  double CharacterGap() const { return characterFrom_; }
  double WordGap() const { return wordFrom_; }
  // How badly the recent marks and spaces lie on the grid: their mean squared distance from
  // it, in log units. Noise, or marks run together, fit badly.
  double Misfit() const { return misfit_; }
  // How far a mark is from the dot-dash threshold, in log units; small is doubtful.
  double Doubt(double seconds) const;

  struct Entry {
    bool tone;
    double log;  // of the length in seconds
  };

 private:
  static constexpr std::size_t Kept = 32;

  void Refit();

  std::array<Entry, Kept> entries_{};  // the newest first
  std::size_t count_ = 0;
  std::size_t marks_ = 0, spaces_ = 0;
  bool settled_ = false;
  double dot_ = 0.06;
  double misfit_ = 0;
  double dashFrom_ = 0, characterFrom_ = 0, wordFrom_ = 0;
};

}  // namespace zudorave
