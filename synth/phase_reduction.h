// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exact floating-point remainder of a phase by the phase period, as std::fmod gives it, but
// without fmod's bit-by-bit loop: the remainder is representable, so an exact product of
// k and the period (Dekker) and Sterbenz-exact subtractions reproduce it bit for bit.
#include <cmath>

namespace zudorave {

struct ExactProduct {
  double high;
  double low;
};

// Splits a into two halves of 26 bits each (Veltkamp).
inline void Split(double a, double& high, double& low) {
  constexpr double Splitter = 134217729.0;  // 2^27 + 1
  const double t = Splitter * a;
  high = t - (t - a);
  low = a - high;
}

inline ExactProduct TwoProduct(double a, double b) {
  const double p = a * b;
  double ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  const double error = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
  return {p, error};
}

// x - k * period, exact when it is representable and k >= 1.
inline double RemainderFor(double x, double k, double period) {
  const ExactProduct kp = TwoProduct(k, period);
  return (x - kp.high) - kp.low;
}

// Same as std::fmod(x, period) for period <= x below 2^52 times the period.
inline double ReducePhase(double x, double period) {
  const double k = std::floor(x / period);
  const double r = RemainderFor(x, k, period);
  if (r < 0) return RemainderFor(x, k - 1, period);
  if (r >= period) return RemainderFor(x, k + 1, period);
  return r;
}

}  // namespace zudorave
