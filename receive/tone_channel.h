// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mixes the tone down to 0 Hz and keeps a narrow band around it, about 120 Hz either side, at
// about 500 samples a second: enough for 50 words a minute, and a station 200 Hz away is gone.
// Threads: one at a time.
#include <complex>
#include <cstddef>
#include <vector>

namespace zudorave {

class ToneChannel {
 public:
  static constexpr double TargetRate = 500;

  explicit ToneChannel(double rate);
  double OutputRate() const { return rate_ / static_cast<double>(factor_); }

  // Where the tone is; the mixer's phase goes on without a jump.
  void Tune(double hz);
  double Pitch() const { return hz_; }

  // Takes a sample; every factor-th one gives a baseband sample in out.
  bool Push(float sample, std::complex<float>& out);

 private:
  double rate_;
  std::size_t factor_;
  std::vector<float> taps_;
  std::vector<float> re_, im_;  // the mixed samples, each written twice
  std::size_t pos_ = 0;
  std::size_t count_ = 0;
  double hz_ = 0;
  std::complex<double> phasor_{1, 0};
  std::complex<double> step_{1, 0};
  std::size_t sinceNormal_ = 0;
};

}  // namespace zudorave
