// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/capture_pool.h"

#include <gtest/gtest.h>

namespace zudorave {
namespace {

TEST(CaptureQueue, FirstInFirstOutAndReusableWhenEmptied) {
  CaptureBuffer a, b, c;
  CaptureQueue queue;
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.TakeFront(), nullptr);
  queue.PushBack(&a);
  queue.PushBack(&b);
  EXPECT_EQ(queue.Size(), 2u);
  EXPECT_EQ(queue.Front(), &a);
  queue.PopFront();
  EXPECT_EQ(queue.TakeFront(), &b);
  EXPECT_TRUE(queue.Empty());
  queue.PushBack(&c);
  EXPECT_EQ(queue.Front(), &c);
  EXPECT_EQ(queue.Size(), 1u);
}

TEST(CreateCapturePool, EightRecordsThenTheirSampleAreasInOneBlock) {
  CapturePool pool;
  CaptureQueue freeQueue;
  CreateCapturePool(pool, freeQueue);
  ASSERT_TRUE(pool.Created());
  EXPECT_EQ(CapturePool::BlockBytes, 8 * (88200 + sizeof(CaptureBuffer)));
  ASSERT_EQ(freeQueue.Size(), 8u);
  const std::byte* start = pool.Block();
  const std::byte* firstData = start + 8 * sizeof(CaptureBuffer);
  for (int i = 0; i < 8; ++i) {
    CaptureBuffer* record = freeQueue.TakeFront();  // leaves in the order 0 to 7
    EXPECT_EQ(reinterpret_cast<const std::byte*>(record), start + i * sizeof(CaptureBuffer));
    EXPECT_EQ(record->data, firstData + i * 88200);
    EXPECT_EQ(record->length, 88200);
    EXPECT_EQ(record->data[0], std::byte{0});  // unrecorded sound is silence
  }
  EXPECT_EQ(firstData + 8 * 88200, start + CapturePool::BlockBytes);
}

TEST(CreateCapturePool, NoMemoryMeansAnEmptyPool) {
  CapturePool pool;
  CaptureQueue freeQueue;
  CreateCapturePool(pool, freeQueue, [](std::size_t) { return MemoryBlock{}; });
  EXPECT_FALSE(pool.Created());
  EXPECT_TRUE(freeQueue.Empty());
}

TEST(CreateCapturePool, ASecondCallAddsNothing) {
  CapturePool pool;
  CaptureQueue freeQueue;
  CreateCapturePool(pool, freeQueue);
  const std::byte* block = pool.Block();
  CreateCapturePool(pool, freeQueue);
  EXPECT_EQ(pool.Block(), block);
  EXPECT_EQ(freeQueue.Size(), 8u);
}

}  // namespace
}  // namespace zudorave
