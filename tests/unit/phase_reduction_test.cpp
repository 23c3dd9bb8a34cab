// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/phase_reduction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "synth/snd_tx.h"

namespace zudorave {
namespace {

// Every phase an oscillator can produce is a sample index times a single-precision step.
TEST(ReducePhase, MatchesFmodBitForBitOnEveryOscillatorPhase) {
  for (int32_t frequency :
       {1, 10, 299, 300, 997, 2000, 2400, 4000, 15000, 17999, 18000, 22050, 44100, 1000003}) {
    const double step = static_cast<float>(frequency * SndTx::PhasePeriod / 44100.0);
    for (int i = 0; i < SndTx::SampleCount; ++i) {
      const double phase = i * step;
      if (phase < SndTx::PhasePeriod) continue;
      ASSERT_EQ(ReducePhase(phase, SndTx::PhasePeriod), std::fmod(phase, SndTx::PhasePeriod))
          << frequency << " Hz, sample " << i;
    }
  }
}

TEST(ReducePhase, ExactMultiplesAndNeighboursOfThePeriod) {
  const double p = SndTx::PhasePeriod;
  EXPECT_EQ(ReducePhase(p, p), 0.0);
  for (double k : {1.0, 2.0, 3.0, 1000.0, 15000.0, 1e9}) {
    const double x = k * p;
    for (double probe : {x, std::nextafter(x, 0.0), std::nextafter(x, 1e300)}) {
      if (probe < p) continue;
      ASSERT_EQ(ReducePhase(probe, p), std::fmod(probe, p)) << probe;
    }
  }
}

}  // namespace
}  // namespace zudorave
