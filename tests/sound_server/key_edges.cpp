// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_edges.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <numbers>

namespace zudorave::testing {

namespace {

// Each value the mean of the period centred on it; where that period does not fit, zero.
std::vector<std::complex<double>> PeriodMeans(const std::vector<std::complex<double>>& values,
                                              std::size_t period) {
  std::vector<std::complex<double>> sums(values.size() + 1);
  for (std::size_t n = 0; n < values.size(); ++n) sums[n + 1] = sums[n] + values[n];
  std::vector<std::complex<double>> means(values.size());
  const std::size_t half = period / 2;
  for (std::size_t n = half; n + period - half <= values.size(); ++n) {
    means[n] = (sums[n - half + period] - sums[n - half]) / static_cast<double>(period);
  }
  return means;
}

}  // namespace

std::vector<double> Envelope(std::span<const int16_t> samples, int hz) {
  const auto period = static_cast<std::size_t>(44100 / hz);
  const double omega = 2 * std::numbers::pi * hz / 44100;
  // Turned down to 0 Hz; a mean over a whole period cancels the 2f term of a steady tone, a
  // second one what a ramp leaves of it.
  std::vector<std::complex<double>> turned(samples.size());
  for (std::size_t n = 0; n < samples.size(); ++n) {
    turned[n] = std::polar(static_cast<double>(samples[n]), -omega * static_cast<double>(n));
  }
  const std::vector<std::complex<double>> means = PeriodMeans(PeriodMeans(turned, period), period);
  std::vector<double> envelope(samples.size());
  for (std::size_t n = 0; n < samples.size(); ++n) envelope[n] = 2 * std::abs(means[n]);
  return envelope;
}

namespace {

// Where the envelope passes level between samples n - 1 and n.
double Crossing(const std::vector<double>& e, std::size_t n, double level) {
  return static_cast<double>(n - 1) + (level - e[n - 1]) / (e[n] - e[n - 1]);
}

}  // namespace

std::vector<HeardTone> HeardTones(std::span<const int16_t> samples, int hz) {
  const std::vector<double> e = Envelope(samples, hz);
  const double full = e.empty() ? 0 : *std::max_element(e.begin(), e.end());
  std::vector<HeardTone> tones;
  if (full <= 0) return tones;
  const double half = full / 2, low = full / 10, high = full * 9 / 10;
  double lowAt = 0, highAt = 0;
  bool down = false;
  for (std::size_t n = 1; n < e.size(); ++n) {
    if (e[n - 1] < low && e[n] >= low) lowAt = Crossing(e, n, low);
    if (e[n - 1] < high && e[n] >= high && down)
      tones.back().riseSamples = Crossing(e, n, high) - lowAt;
    if (e[n - 1] >= high && e[n] < high) highAt = Crossing(e, n, high);
    if (e[n - 1] >= low && e[n] < low && !down && !tones.empty()) {
      tones.back().fallSamples = Crossing(e, n, low) - highAt;
    }
    if (!down && e[n - 1] < half && e[n] >= half) {
      tones.push_back({Crossing(e, n, half), 0, 0, 0});
      down = true;
    } else if (down && e[n - 1] >= half && e[n] < half) {
      tones.back().up = Crossing(e, n, half);
      down = false;
    }
  }
  if (down) tones.pop_back();  // still sounding where the recording ends
  return tones;
}

int32_t LargestSecondDifference(std::span<const int16_t> samples) {
  int32_t largest = 0;
  for (std::size_t n = 1; n + 1 < samples.size(); ++n) {
    largest = std::max(largest, std::abs(int32_t{samples[n + 1]} - 2 * int32_t{samples[n]} +
                                         int32_t{samples[n - 1]}));
  }
  return largest;
}

}  // namespace zudorave::testing
