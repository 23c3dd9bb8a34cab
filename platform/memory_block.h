// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Movable global memory becomes plain owned heap blocks: "locked" means the address
// stays put for the owner's life. Allocation can fail, and callers must cope.
#include <cstddef>
#include <functional>
#include <memory>

namespace zudorave {

using MemoryBlock = std::unique_ptr<std::byte[]>;

// Returns a zero-filled block, or null when the memory is not there.
using BlockAllocator = std::function<MemoryBlock(std::size_t bytes)>;

MemoryBlock AllocateBlock(std::size_t bytes);

}  // namespace zudorave
