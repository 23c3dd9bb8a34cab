// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a keyed sine back: where each tone starts and ends (its half-amplitude points), how
// long its edges take, and whether anything clicks.
#include <cstdint>
#include <span>
#include <vector>

namespace zudorave::testing {

struct HeardTone {
  double down;  // half-amplitude points, in samples, interpolated
  double up;
  double riseSamples;  // 10 % to 90 % of the envelope
  double fallSamples;
};

// The envelope of a sine at hz, whose period must be a whole number of samples at 44100 Hz:
// demodulated and averaged twice over one period, so the middle of a ramp stays where it is.
std::vector<double> Envelope(std::span<const int16_t> samples, int hz);

// The tones in a recording of a keyed sine at hz, against the loudest envelope.
std::vector<HeardTone> HeardTones(std::span<const int16_t> samples, int hz);

// The largest second difference of the samples: a sine of amplitude A keeps it near A(2 pi f /
// 44100)^2 even through shaped edges, while a step of any size shows as that size.
int32_t LargestSecondDifference(std::span<const int16_t> samples);

}  // namespace zudorave::testing
