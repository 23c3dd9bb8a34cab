// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/fft.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace zudorave {

Fft::Fft(std::size_t size) : size_(size) {
  for (std::size_t k = 0; k < size / 2; ++k) {
    const double angle = -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size);
    twiddle_.emplace_back(static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)));
  }
  std::size_t bits = 0;
  while ((std::size_t{1} << bits) < size) ++bits;
  for (std::size_t i = 0; i < size; ++i) {
    std::size_t reversed = 0;
    for (std::size_t b = 0; b < bits; ++b) reversed |= ((i >> b) & 1) << (bits - 1 - b);
    if (i < reversed) {
      swap_.push_back(i);
      swap_.push_back(reversed);
    }
  }
}

void Fft::Forward(std::span<std::complex<float>> data) const {
  for (std::size_t i = 0; i < swap_.size(); i += 2) std::swap(data[swap_[i]], data[swap_[i + 1]]);
  for (std::size_t length = 2; length <= size_; length *= 2) {
    const std::size_t half = length / 2;
    const std::size_t stride = size_ / length;
    for (std::size_t start = 0; start < size_; start += length) {
      for (std::size_t k = 0; k < half; ++k) {
        const std::complex<float> odd = twiddle_[k * stride] * data[start + k + half];
        data[start + k + half] = data[start + k] - odd;
        data[start + k] += odd;
      }
    }
  }
}

}  // namespace zudorave
