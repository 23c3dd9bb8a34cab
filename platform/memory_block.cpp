// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/memory_block.h"

#include <new>

namespace zudorave {

MemoryBlock AllocateBlock(std::size_t bytes) {
  return MemoryBlock(new (std::nothrow) std::byte[bytes]());
}

}  // namespace zudorave
