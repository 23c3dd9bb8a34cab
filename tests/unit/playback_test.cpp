// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "synth/snd_tx.h"
#include "test_generator.h"

namespace zudorave::testing {
namespace {

using Calls = std::vector<std::string>;

TEST(PlayLength, EightyEightPointTwoBytesAMillisecondTruncated) {
  EXPECT_EQ(SndTx::PlayLength(0), 0u);
  EXPECT_EQ(SndTx::PlayLength(1), 88u);
  EXPECT_EQ(SndTx::PlayLength(100), 8820u);
  EXPECT_EQ(SndTx::PlayLength(513), 45246u);
  EXPECT_EQ(SndTx::PlayLength(999), 88111u);  // odd: not rounded to whole samples
  EXPECT_EQ(SndTx::PlayLength(1000), 88200u);
  EXPECT_EQ(SndTx::PlayLength(2000), 88200u);
}

TEST(PlayLength, NeverNegativeNorPastTheBuffer) {
  EXPECT_EQ(SndTx::PlayLength(-1), 0u);
  EXPECT_EQ(SndTx::PlayLength(-2147483647 - 1), 0u);
  EXPECT_EQ(SndTx::PlayLength(2147483647), 88200u);
  EXPECT_EQ(SndTx::PlayLength(3000000), 88200u);  // ms x 1000 does not wrap
}

TEST(PlaybackDevice, OpenWithAnEmptyLoopThenPlayTheWholeSecond) {
  TestGenerator g;
  ASSERT_TRUE(g.tx.OpenSndTx(0));
  g.tx.PlaySndTx(2000);
  EXPECT_EQ(g.device.calls, (Calls{"Open 44100", "Prepare 0 flags 12 loops 10000",
                                   "Write 88200 flags 12 loops 10000"}));
  EXPECT_EQ(g.device.openedFormat.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(g.device.openedFormat.nBlockAlign, 2);
}

TEST(PlaybackDevice, AFailedOpenReturnsFalseAndLeavesTheHeader) {
  TestGenerator g;
  g.device.openResult = MMSYSERR_NODRIVER;
  EXPECT_FALSE(g.tx.OpenSndTx(100));
  EXPECT_EQ(g.tx.Header()->dwFlags, 0u);
  EXPECT_EQ(g.tx.Header()->dwLoops, 0u);
  EXPECT_EQ(g.tx.Header()->dwBufferLength, 0u);
  EXPECT_FALSE(g.tx.DeviceOpen());
  g.tx.PlaySndTx(2000);  // nothing to write to
  EXPECT_EQ(g.device.calls, (Calls{"Open 44100"}));
}

TEST(PlaybackDevice, AFailedWriteUnpreparesAndKeepsTheDeviceOpen) {
  TestGenerator g;
  g.device.writeResult = MMSYSERR_ERROR;
  ASSERT_TRUE(g.tx.OpenSndTx(0));
  g.tx.PlaySndTx(2000);
  EXPECT_EQ(g.device.calls.back(), "Unprepare");
  EXPECT_TRUE(g.tx.DeviceOpen());
}

TEST(PlaybackDevice, StopLeavesTheDeviceOpenAndCloseReleasesIt) {
  TestGenerator g;
  g.tx.OpenSndTx(0);
  g.tx.PlaySndTx(2000);
  g.device.calls.clear();
  g.tx.StopSndTx();
  EXPECT_EQ(g.device.calls, (Calls{"Reset", "Unprepare"}));
  EXPECT_TRUE(g.tx.DeviceOpen());
  g.device.calls.clear();
  g.device.closeResult = MMSYSERR_ERROR;
  EXPECT_TRUE(g.tx.CloseSndTx());  // true even when the close itself fails
  EXPECT_EQ(g.device.calls, (Calls{"Unprepare", "Reset", "Close"}));
  EXPECT_FALSE(g.tx.DeviceOpen());
}

TEST(PlaybackDevice, TheStartupProbeLeavesTheDeviceClosed) {
  TestGenerator g;
  ASSERT_TRUE(g.tx.OpenSndTx(100));
  EXPECT_EQ(g.device.calls[1], "Prepare 8820 flags 12 loops 10000");
  g.tx.CloseSndTx();
  EXPECT_EQ(g.device.openDevices, 0);
}

TEST(PlaybackDevice, ASecondOpenClosesTheFirstDeviceInsteadOfOrphaningIt) {
  TestGenerator g;
  g.tx.OpenSndTx(0);
  g.tx.PlaySndTx(2000);
  ASSERT_TRUE(g.tx.OpenSndTx(513));
  EXPECT_EQ(g.device.openDevices, 1);
  EXPECT_EQ(g.device.calls, (Calls{"Open 44100", "Prepare 0 flags 12 loops 10000",
                                   "Write 88200 flags 12 loops 10000", "Unprepare", "Reset",
                                   "Close", "Open 44100", "Prepare 45246 flags 12 loops 10000"}));
  g.tx.CloseSndTx();  // unticking the last source still ends the tone
  EXPECT_EQ(g.device.openDevices, 0);
}

TEST(PlaybackDevice, DestructionClosesAnOpenDevice) {
  FakeWaveOut device;
  CaptureQueue filled;
  {
    SndTx tx(300, device, filled);
    tx.OpenSndTx(0);
    tx.PlaySndTx(2000);
    device.calls.clear();
  }
  EXPECT_EQ(device.calls, (Calls{"Reset", "Unprepare", "Reset", "Close"}));
  EXPECT_EQ(device.openDevices, 0);
}

}  // namespace
}  // namespace zudorave::testing
