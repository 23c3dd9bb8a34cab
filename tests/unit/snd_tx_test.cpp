// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/snd_tx.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_generator.h"

namespace zudorave::testing {
namespace {

TEST(SndTxConstruction, FormatRecordDescribesOneSecondOfMonoSixteenBit) {
  TestGenerator g;
  const WaveFormatEx& f = g.tx.Format();
  EXPECT_EQ(f.wFormatTag, 1);
  EXPECT_EQ(f.nChannels, 1);
  EXPECT_EQ(f.nSamplesPerSec, 44100u);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_EQ(f.nBlockAlign, 2);
  EXPECT_EQ(f.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(f.cbSize, 0);
  EXPECT_EQ(g.tx.BufferLength(), 88200u);
  EXPECT_EQ(PlayBufferBytes, 88200);
  EXPECT_EQ(CaptureBufferBytes, 88200);
}

TEST(SndTxConstruction, HeaderPointsAtTheSilentOutputBufferAndIsClear) {
  TestGenerator g;
  ASSERT_TRUE(g.tx.Ready());
  const WaveHdr* h = g.tx.Header();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(reinterpret_cast<const int16_t*>(h->lpData), g.tx.OutputBuffer());
  EXPECT_EQ(h->dwUser, 0u);
  EXPECT_EQ(h->dwFlags, 0u);
  EXPECT_EQ(h->dwLoops, 0u);
  for (int j = 0; j < SndTx::SampleCount; ++j) ASSERT_EQ(g.tx.OutputSample(j), 0) << j;
  EXPECT_FALSE(g.tx.Sinus());
  EXPECT_FALSE(g.tx.DeviceOpen());
  EXPECT_TRUE(g.device.calls.empty());
}

TEST(SndTxConstruction, SineTableIsHalfDegreeStepsWithExactPeaks) {
  TestGenerator g;
  EXPECT_EQ(g.tx.SineTableAt(0), 0.0f);
  EXPECT_EQ(g.tx.SineTableAt(180), 1.0f);
  EXPECT_EQ(g.tx.SineTableAt(540), -1.0f);
  EXPECT_NEAR(g.tx.SineTableAt(60), 0.5f, 1e-6f);  // pi is taken as 3.14159
  for (int i = 0; i < SndTx::TableSize; ++i) {
    ASSERT_LE(std::abs(g.tx.SineTableAt(i)), 1.0f);
  }
}

// Fails the allocation with the given number (1 = sample block, 2 = header, 3.. = oscillators).
BlockAllocator FailingAt(int failing) {
  return [failing, count = 0](std::size_t bytes) mutable -> MemoryBlock {
    return ++count == failing ? nullptr : AllocateBlock(bytes);
  };
}

TEST(SndTxMemoryShortage, MissingBlocksAreReportedAndNeverTouched) {
  for (int failing = 1; failing <= 14; ++failing) {
    SCOPED_TRACE(failing);
    FakeWaveOut device;
    CaptureQueue filled;
    SndTx tx(300, device, filled, FailingAt(failing));
    EXPECT_FALSE(tx.Ready());
    EXPECT_FALSE(tx.Shortage().empty());
    tx.FillOscillator(1, 1000);
    tx.FillOscillator(2, 1000);
    tx.FillOscillator(3, 1000);
    for (const MixMode mode : AllMixModes) tx.Mix(mode, 15);
    if (failing <= 2) {
      EXPECT_EQ(tx.OutputBuffer(), nullptr);
      EXPECT_FALSE(tx.OpenSndTx(0));
      EXPECT_TRUE(device.calls.empty());
    }
  }
}

}  // namespace
}  // namespace zudorave::testing
