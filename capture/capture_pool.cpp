// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/capture_pool.h"

#include <new>

namespace zudorave {

void CreateCapturePool(CapturePool& pool, CaptureQueue& freeQueue, const BlockAllocator& allocate) {
  if (pool.Created()) return;
  pool.block_ = allocate(CapturePool::BlockBytes);
  if (!pool.block_) return;
  std::byte* const start = pool.block_.get();
  std::byte* const samples = start + CaptureBufferCount * sizeof(CaptureBuffer);
  for (int i = 0; i < CaptureBufferCount; ++i) {
    auto* record = new (start + i * sizeof(CaptureBuffer)) CaptureBuffer{
        samples + static_cast<std::size_t>(i) * CaptureBufferBytes, CaptureBufferBytes};
    freeQueue.PushBack(record);
  }
}

}  // namespace zudorave
