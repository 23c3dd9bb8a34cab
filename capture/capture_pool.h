// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>

#include "capture/capture_queue.h"
#include "platform/audio_format.h"
#include "platform/memory_block.h"

namespace zudorave {

// Owns the one block that holds the capture records and their sample areas. It is created
// before the queues that point into it, so it outlives them.
class CapturePool {
 public:
  static constexpr std::size_t BlockBytes =
      CaptureBufferCount * (CaptureBufferBytes + sizeof(CaptureBuffer));

  bool Created() const { return block_ != nullptr; }
  const std::byte* Block() const { return block_.get(); }

 private:
  friend void CreateCapturePool(CapturePool&, CaptureQueue&, const BlockAllocator&);
  MemoryBlock block_;
};

// Allocates the block, writes the eight records (the sample areas follow them) and queues
// records 0 to 7 on freeQueue. Does nothing when the pool exists already or memory is short.
void CreateCapturePool(CapturePool& pool, CaptureQueue& freeQueue,
                       const BlockAllocator& allocate = AllocateBlock);

}  // namespace zudorave
