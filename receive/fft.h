// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A radix-2 complex FFT of one fixed size, tables made once. Threads: any, it holds no state.
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace zudorave {

class Fft {
 public:
  explicit Fft(std::size_t size);  // a power of two
  std::size_t Size() const { return size_; }
  // In place; data holds Size() values.
  void Forward(std::span<std::complex<float>> data) const;

 private:
  std::size_t size_;
  std::vector<std::complex<float>> twiddle_;  // e^(-2 pi i k / size) for k below size / 2
  std::vector<std::size_t> swap_;             // index pairs to exchange, bit-reversed order
};

}  // namespace zudorave
