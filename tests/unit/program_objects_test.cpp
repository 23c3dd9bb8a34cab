#include "app/program_objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/testing/fake_wave_out.h"

namespace zudorave::testing {
namespace {

TEST(ProgramObjects, StartValues) {
  FakeWaveOut device;
  ProgramObjects objects(device);
  EXPECT_TRUE(objects.FreeQueue.Empty());
  EXPECT_TRUE(objects.FilledQueue.Empty());
  EXPECT_TRUE(objects.SpareQueue.Empty());
  EXPECT_FALSE(objects.Pool.Created());
  EXPECT_EQ(objects.ExtraSpacing, 0);
  EXPECT_EQ(objects.Af1Frequency, 300);
  EXPECT_EQ(objects.DotMs, 171);
  EXPECT_EQ(objects.RequestedDotMs, 171);
  EXPECT_EQ(objects.OperatingState, Idle);
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
  objects.Tx.Mix(ModeSum, MikeBit);
  EXPECT_EQ(objects.Tx.OutputSample(0), 1000);
}

}  // namespace
}  // namespace zudorave::testing
