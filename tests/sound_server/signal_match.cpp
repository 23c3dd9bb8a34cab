// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal_match.h"

#include <algorithm>

namespace zudorave::testing {

std::size_t FindWhole(std::span<const int16_t> recording, std::span<const int16_t> pattern,
                      std::size_t from) {
  if (pattern.empty() || recording.size() < pattern.size()) return NotFound;
  auto begin = recording.begin() + static_cast<std::ptrdiff_t>(from);
  auto found = std::search(begin, recording.end(), pattern.begin(), pattern.end());
  return found == recording.end() ? NotFound : static_cast<std::size_t>(found - recording.begin());
}

std::size_t MatchingRun(std::span<const int16_t> recording, std::size_t offset,
                        std::span<const int16_t> pattern, std::size_t patternStart) {
  std::size_t n = 0;
  while (offset + n < recording.size() &&
         recording[offset + n] == pattern[(patternStart + n) % pattern.size()]) {
    ++n;
  }
  return n;
}

std::size_t FirstSound(std::span<const int16_t> recording) {
  auto first = std::find_if(recording.begin(), recording.end(), [](int16_t s) { return s != 0; });
  return first == recording.end() ? NotFound : static_cast<std::size_t>(first - recording.begin());
}

std::vector<Stretch> SoundStretches(std::span<const int16_t> recording, std::size_t minGap) {
  std::vector<Stretch> stretches;
  std::size_t zeros = minGap;  // the start counts as after a gap
  for (std::size_t i = 0; i < recording.size(); ++i) {
    if (recording[i] == 0) {
      ++zeros;
      continue;
    }
    if (zeros >= minGap) {
      stretches.push_back({i, i + 1});
    } else {
      stretches.back().end = i + 1;
    }
    zeros = 0;
  }
  return stretches;
}

std::size_t TrailingSilence(std::span<const int16_t> recording) {
  auto last = std::find_if(recording.rbegin(), recording.rend(), [](int16_t s) { return s != 0; });
  return static_cast<std::size_t>(last - recording.rbegin());
}

double ZeroCrossingFrequency(std::span<const int16_t> samples) {
  int crossings = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (samples[i - 1] < 0 && samples[i] >= 0) ++crossings;
  }
  return samples.empty() ? 0 : crossings * 44100.0 / static_cast<double>(samples.size());
}

}  // namespace zudorave::testing
