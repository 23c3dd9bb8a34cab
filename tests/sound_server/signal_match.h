// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding what was played inside what the sink recorded.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zudorave::testing {

inline constexpr std::size_t NotFound = static_cast<std::size_t>(-1);

// The first offset at or after from where pattern appears whole in recording.
std::size_t FindWhole(std::span<const int16_t> recording, std::span<const int16_t> pattern,
                      std::size_t from = 0);

// How many samples from offset match pattern looped, starting at pattern[patternStart].
std::size_t MatchingRun(std::span<const int16_t> recording, std::size_t offset,
                        std::span<const int16_t> pattern, std::size_t patternStart = 0);

// The first sample that is not zero, or NotFound.
std::size_t FirstSound(std::span<const int16_t> recording);

// Stretches of sound [begin, end) between runs of at least minGap zero samples.
struct Stretch {
  std::size_t begin;
  std::size_t end;
  std::size_t Length() const { return end - begin; }
};
std::vector<Stretch> SoundStretches(std::span<const int16_t> recording, std::size_t minGap);

// Zero samples at the end of the recording.
std::size_t TrailingSilence(std::span<const int16_t> recording);

// Frequency by counting upward zero crossings over the samples, at 44100 Hz.
double ZeroCrossingFrequency(std::span<const int16_t> samples);

}  // namespace zudorave::testing
