// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/testing/fake_wave_out.h"
#include "tests/station_names.h"

namespace zudorave::testing {
namespace {

TEST(ProgramObjects, StartValues) {
  FakeWaveOut device;
  ProgramObjects objects(device);
  EXPECT_TRUE(objects.FreeQueue.Empty());
  EXPECT_TRUE(objects.FilledQueue.Empty());
  EXPECT_TRUE(objects.SpareQueue.Empty());
  EXPECT_FALSE(objects.Pool.Created());
  EXPECT_EQ(objects.Af1Frequency, 300);
  const StationValues& station = objects.Station;
  EXPECT_EQ(station.ExtraSpacing, 0);
  EXPECT_EQ(station.DotMs, 171);
  EXPECT_EQ(station.RequestedDotMs, 171);
  EXPECT_EQ(station.SpacingBase, 10);
  EXPECT_EQ(station.SpacingFlag, 1);
  EXPECT_EQ(station.TimerIdle, 1);
  EXPECT_EQ(station.ElementCountdown, 2);
  EXPECT_EQ(station.Paddles.Load(), (PaddleValues{2, 2, false, false}));
  EXPECT_TRUE(station.DecodeMap.empty());  // filled by the main dialog's keyer
  EXPECT_EQ(station.OperatingState, StationState::Idle);
  EXPECT_TRUE(objects.Tx.Ready());
  EXPECT_EQ(objects.Tx.OutputSample(0), 0);
}

TEST(ProgramObjects, TheGeneratorMixesTheFrontOfTheProgramsFilledQueue) {
  FakeWaveOut device;
  ProgramObjects objects(device);
  CreateCapturePool(objects.Pool, objects.FreeQueue);
  CaptureBuffer* first = objects.FreeQueue.TakeFront();
  const int16_t loud = 8000;
  std::memcpy(first->data, &loud, sizeof loud);
  objects.FilledQueue.PushBack(first);
  objects.Tx.Mix(MixMode::Sum, MikeBit);
  EXPECT_EQ(objects.Tx.OutputSample(0), 1000);
}

}  // namespace
}  // namespace zudorave::testing
