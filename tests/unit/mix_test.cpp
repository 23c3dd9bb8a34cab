// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "synth/snd_tx.h"
#include "test_generator.h"

namespace zudorave::testing {
namespace {

std::vector<int16_t> Output(const SndTx& tx) {
  std::vector<int16_t> samples(SndTx::SampleCount);
  for (int j = 0; j < SndTx::SampleCount; ++j) samples[j] = tx.OutputSample(j);
  return samples;
}

bool AllEqual(const SndTx& tx, int16_t value) {
  for (int j = 0; j < SndTx::SampleCount; ++j) {
    if (tx.OutputSample(j) != value) return false;
  }
  return true;
}

// A microphone buffer of a full second, with its own recorded length.
struct MikeBuffer {
  std::vector<int16_t> samples = std::vector<int16_t>(SndTx::SampleCount);
  CaptureBuffer record{reinterpret_cast<std::byte*>(samples.data()), CaptureBufferBytes};
};

TEST(MixSidebands, OneModulatingOscillatorGivesTheReferenceLevels) {
  TestGenerator g;
  g.tx.Mix(MixMode::Lsb, Af1Bit | Af3Bit);
  EXPECT_EQ(g.tx.OutputSample(0), 10378);
  g.tx.Mix(MixMode::Usb, Af1Bit | Af3Bit);
  EXPECT_EQ(g.tx.OutputSample(0), 0);
  g.tx.Mix(MixMode::Dsb, Af1Bit | Af3Bit);
  EXPECT_EQ(g.tx.OutputSample(0), 0);
}

TEST(MixSidebands, SilentWithoutTheCarrierOrWithoutModulation) {
  TestGenerator g;
  for (const MixMode mode : {MixMode::Lsb, MixMode::Usb, MixMode::Dsb}) {
    for (int32_t mask : {Af1Bit | Af2Bit, Af3Bit, Af3Bit | MikeBit, 0}) {
      g.tx.Mix(MixMode::Sum, Af1Bit);  // something audible to overwrite
      g.tx.Mix(mode, mask);
      EXPECT_TRUE(AllEqual(g.tx, 0)) << static_cast<uint32_t>(mode) << " mask " << mask;
    }
  }
}

TEST(MixSidebands, UpperSidebandIsASingleToneAtCarrierPlusAudio) {
  TestGenerator g;
  g.tx.FillOscillator(1, 1000);
  g.tx.FillOscillator(3, 10000);
  g.tx.Mix(MixMode::Usb, Af1Bit | Af3Bit);
  // A pure 11000 Hz tone of peak about 10378: its sample j follows sin(j * 11000 Hz).
  int peak = 0;
  for (int j = 0; j < SndTx::SampleCount; ++j)
    peak = std::max(peak, std::abs(g.tx.OutputSample(j)));
  EXPECT_NEAR(peak, 10378, 30);
  int crossings = 0;
  for (int j = 1; j < SndTx::SampleCount; ++j) {
    crossings += g.tx.OutputSample(j - 1) < 0 && g.tx.OutputSample(j) >= 0;
  }
  EXPECT_NEAR(crossings, 11000, 2);
}

// The sample a sideband mode must give, from the arrays it reads.
int16_t SidebandSample(const SndTx& tx, MixMode mode, int32_t mask, int j) {
  auto term = [&](int oscillator, bool sine) -> double {
    if ((mask & (1 << (oscillator - 1))) == 0) return 0;
    return (sine ? tx.SineArray(oscillator) : tx.CosineArray(oscillator))[j];
  };
  auto modulation = [](double s) { return double{static_cast<float>(s * 0.001953125)}; };
  const double x = modulation(term(1, true)) + modulation(term(2, true));
  const double y = modulation(term(1, false)) + modulation(term(2, false));
  const double u = term(3, true) * double{0.005f};
  const double w = term(3, false) * double{0.005f};
  const double v = mode == MixMode::Lsb   ? y * w + x * u
                   : mode == MixMode::Usb ? x * w + y * u
                                          : x * w - x * u;
  return static_cast<int16_t>(static_cast<int32_t>(v));
}

TEST(MixSidebands, Af2ModulatesTheCarrierBesideAf1OverTheWholeSecond) {
  TestGenerator g;
  g.tx.FillOscillator(2, 700);
  for (const MixMode mode : {MixMode::Lsb, MixMode::Usb, MixMode::Dsb}) {
    for (int32_t mask : {Af2Bit | Af3Bit, Af1Bit | Af2Bit | Af3Bit}) {
      g.tx.Mix(mode, mask);
      for (int j = 0; j < SndTx::SampleCount; ++j) {
        ASSERT_EQ(g.tx.OutputSample(j), SidebandSample(g.tx, mode, mask, j))
            << static_cast<uint32_t>(mode) << " mask " << mask << " sample " << j;
      }
    }
  }
}

TEST(MixSidebands, DoubleSidebandIgnoresTheModulatingCosines) {
  TestGenerator g;
  g.tx.Mix(MixMode::Dsb, Af1Bit | Af2Bit | Af3Bit);
  const auto before = Output(g.tx);
  // The cosine arrays of AF1 and AF2 play no part: a DSB rendering depends only on the sines.
  const float* s1 = g.tx.SineArray(1);
  const float* s2 = g.tx.SineArray(2);
  const float* s3 = g.tx.SineArray(3);
  const float* c3 = g.tx.CosineArray(3);
  for (int j = 0; j < SndTx::SampleCount; j += 101) {
    const double x =
        double{static_cast<float>(s1[j] * 0.001953125)} + static_cast<float>(s2[j] * 0.001953125);
    const double v = x * (c3[j] * double{0.005f}) - x * (s3[j] * double{0.005f});
    ASSERT_EQ(before[j], static_cast<int16_t>(static_cast<int32_t>(v))) << j;
  }
  int peak = 0;
  g.tx.Mix(MixMode::Dsb, Af1Bit | Af3Bit);
  for (int j = 0; j < SndTx::SampleCount; ++j)
    peak = std::max(peak, std::abs(g.tx.OutputSample(j)));
  // The envelope peaks at about 14677; the sampled 15000 Hz carrier comes close to it.
  EXPECT_LE(peak, 14677);
  EXPECT_GE(peak, 14000);
}

TEST(MixSum, Af1AloneAt300Hz) {
  TestGenerator g;
  g.tx.Mix(MixMode::Sum, Af1Bit);
  EXPECT_EQ(g.tx.OutputSample(0), 0);
  EXPECT_EQ(g.tx.OutputSample(1), 1394);
}

TEST(MixSum, EachEnabledOscillatorContributesItsShare) {
  TestGenerator g;
  g.tx.Mix(MixMode::Sum, Af2Bit);
  const float* s1 = g.tx.SineArray(1);
  const float* s2 = g.tx.SineArray(2);
  const float* s3 = g.tx.SineArray(3);
  for (int j = 0; j < SndTx::SampleCount; ++j) {
    ASSERT_EQ(g.tx.OutputSample(j), static_cast<int16_t>(s2[j])) << j;
  }
  g.tx.Mix(MixMode::Sum, Af1Bit | Af3Bit);
  for (int j = 0; j < SndTx::SampleCount; j += 7) {
    ASSERT_EQ(g.tx.OutputSample(j), static_cast<int16_t>(s1[j] / 2.0 + s3[j] / 2.0)) << j;
  }
  int peak = 0;
  g.tx.Mix(MixMode::Sum, Af1Bit | Af2Bit | Af3Bit);
  for (int j = 0; j < SndTx::SampleCount; ++j)
    peak = std::max(peak, std::abs(g.tx.OutputSample(j)));
  EXPECT_LE(peak, 32600);
}

TEST(MixSum, ThreeOscillatorsAreEachDividedByThreeEvenAfterARefill) {
  TestGenerator g;
  for (int32_t af2 : {2400, 1000}) {
    g.tx.FillOscillator(2, af2);
    g.tx.Mix(MixMode::Sum, Af1Bit | Af2Bit | Af3Bit);
    const float* s1 = g.tx.SineArray(1);
    const float* s2 = g.tx.SineArray(2);
    const float* s3 = g.tx.SineArray(3);
    for (int j = 0; j < SndTx::SampleCount; ++j) {
      const double v = s1[j] / 3.0 + s2[j] / 3.0 + s3[j] / 3.0;
      ASSERT_EQ(g.tx.OutputSample(j), static_cast<int16_t>(static_cast<int32_t>(v))) << j;
    }
  }
}

TEST(MixSum, AMaskOfZeroWritesSilence) {
  TestGenerator g;
  g.tx.Mix(MixMode::Sum, Af1Bit);
  g.tx.Mix(MixMode::Sum, 0);
  EXPECT_TRUE(AllEqual(g.tx, 0));
}

TEST(MixSum, TheMicrophoneAloneIsDividedByEightTowardZero) {
  TestGenerator g;
  MikeBuffer mike;
  mike.samples[0] = 15;
  mike.samples[1] = -15;
  mike.samples[2] = 32767;
  mike.samples[44099] = -32768;
  g.filled.PushBack(&mike.record);
  g.tx.Mix(MixMode::Sum, MikeBit);
  EXPECT_EQ(g.tx.OutputSample(0), 1);
  EXPECT_EQ(g.tx.OutputSample(1), -1);
  EXPECT_EQ(g.tx.OutputSample(2), 4095);
  EXPECT_EQ(g.tx.OutputSample(44099), -4096);
}

TEST(MixSum, TheMicrophoneWithOneOscillatorIsAddedWholeAndWraps) {
  TestGenerator g;
  MikeBuffer mike;
  mike.samples[1] = 32000;
  mike.samples[2] = -100;
  g.filled.PushBack(&mike.record);
  g.tx.Mix(MixMode::Sum, Af1Bit | MikeBit);
  const float* s1 = g.tx.SineArray(1);
  EXPECT_EQ(g.tx.OutputSample(1), static_cast<int16_t>(static_cast<int32_t>(s1[1] + 32000.0)));
  EXPECT_LT(g.tx.OutputSample(1), 0);  // 1394 + 32000 wrapped
  EXPECT_EQ(g.tx.OutputSample(2), static_cast<int32_t>(s1[2] - 100.0));
}

TEST(MixSum, TheMicrophoneBesideTwoOrThreeOscillatorsIsDividedAsAnInteger) {
  TestGenerator g;
  MikeBuffer mike;
  for (int j = 0; j < SndTx::SampleCount; ++j) {
    mike.samples[j] = static_cast<int16_t>((j * 7919) % 65536 - 32768);  // odd and even, both signs
  }
  g.filled.PushBack(&mike.record);
  for (const auto& [mask, divisor] :
       {std::pair{Af1Bit | Af2Bit | MikeBit, 2}, std::pair{Af1Bit | Af3Bit | MikeBit, 2},
        std::pair{Af1Bit | Af2Bit | Af3Bit | MikeBit, 3}}) {
    g.tx.Mix(MixMode::Sum, mask);
    for (int j = 0; j < SndTx::SampleCount; ++j) {
      double v = 0;
      for (int oscillator = 1; oscillator <= 3; ++oscillator) {
        if ((mask & (1 << (oscillator - 1))) != 0)
          v += double{g.tx.SineArray(oscillator)[j]} / divisor;
      }
      v += mike.samples[j] / divisor;  // the quotient truncated toward zero, then added
      ASSERT_EQ(g.tx.OutputSample(j), static_cast<int16_t>(static_cast<int32_t>(v)))
          << "mask " << mask << " sample " << j;
    }
  }
}

TEST(MixSum, TheMicrophoneReadsOnlyTheFrontBufferWhateverItsLength) {
  TestGenerator g;
  MikeBuffer first;
  MikeBuffer second;
  first.samples[5] = 800;
  second.samples[5] = 1600;
  first.record.length = 30000;     // partly filled: the whole second is still read
  second.record.length = 1 << 30;  // nonsense lengths must not lead past the second
  g.filled.PushBack(&first.record);
  g.filled.PushBack(&second.record);
  g.tx.Mix(MixMode::Sum, MikeBit);
  EXPECT_EQ(g.tx.OutputSample(5), 100);
  g.filled.PopFront();
  g.tx.Mix(MixMode::Sum, MikeBit);
  EXPECT_EQ(g.tx.OutputSample(5), 200);
}

TEST(MixSum, AMikeBitWithNothingRecordedAddsNothing) {
  TestGenerator g;
  g.tx.Mix(MixMode::Sum, MikeBit);
  EXPECT_TRUE(AllEqual(g.tx, 0));
  g.tx.Mix(MixMode::Sum, Af1Bit | MikeBit);
  EXPECT_EQ(g.tx.OutputSample(1), 1394);
}

TEST(MixProduct, NoOscillatorGivesOnes) {
  TestGenerator g;
  g.tx.Mix(MixMode::Product, 0);
  EXPECT_TRUE(AllEqual(g.tx, 1));
  g.tx.Mix(MixMode::Product, MikeBit);
  EXPECT_TRUE(AllEqual(g.tx, 1));
}

TEST(MixProduct, NormalisersForOneTwoAndThreeOscillators) {
  TestGenerator g;
  const float* s1 = g.tx.SineArray(1);
  const float* s2 = g.tx.SineArray(2);
  const float* s3 = g.tx.SineArray(3);
  g.tx.Mix(MixMode::Product, Af3Bit);
  EXPECT_EQ(g.tx.OutputSample(3), static_cast<int16_t>(s3[3]));
  g.tx.Mix(MixMode::Product, Af1Bit | Af2Bit);
  EXPECT_EQ(g.tx.OutputSample(9), static_cast<int32_t>((s1[9] / 180.0) * (s2[9] / 180.0)));
  g.tx.Mix(MixMode::Product, Af1Bit | Af2Bit | Af3Bit);
  EXPECT_EQ(g.tx.OutputSample(9),
            static_cast<int32_t>((s1[9] / 1024.0) * (s2[9] / 1024.0) * (s3[9] / 1024.0)));
}

TEST(MixProduct, ATwoOscillatorPeakOf32801WrapsTo32735Below) {
  TestGenerator g;
  // Both sines at their peak: 32600 / 180 squared is 32801.2.
  g.tx.FillOscillator(1, 1);
  g.tx.FillOscillator(2, 1);
  g.tx.Mix(MixMode::Product, Af1Bit | Af2Bit);
  const float* s1 = g.tx.SineArray(1);
  const int peak = static_cast<int>(std::max_element(s1, s1 + SndTx::SampleCount) - s1);
  EXPECT_NEAR(s1[peak], 32600.0f, 0.5f);
  EXPECT_EQ(g.tx.OutputSample(peak), -32735);
}

TEST(MixModes, AnUnknownModeLeavesTheBufferAsItWas) {
  TestGenerator g;
  g.tx.Mix(MixMode::Sum, Af1Bit);
  const auto before = Output(g.tx);
  for (uint32_t mode : {1038u, 1044u, 0u, 0xFFFFFFFFu}) {
    g.tx.Mix(static_cast<MixMode>(mode), Af1Bit | Af2Bit);
  }
  EXPECT_EQ(Output(g.tx), before);
}

TEST(MixModes, TwoModesInOnePassLeaveTheHigherOne) {
  TestGenerator g;
  g.tx.Mix(MixMode::Product, Af1Bit | Af2Bit);
  const auto product = Output(g.tx);
  g.tx.Mix(MixMode::Sum, Af1Bit | Af2Bit);
  g.tx.Mix(MixMode::Product, Af1Bit | Af2Bit);
  EXPECT_EQ(Output(g.tx), product);
}

}  // namespace
}  // namespace zudorave::testing
