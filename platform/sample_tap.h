// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hears every sample an input device records, as it records it, before the buffer cycle: the
// receive path reads the input from here without waiting for a full buffer.
#include <cstddef>

namespace zudorave {

// Threads: the device's recording thread calls Captured, one call at a time; it must not wait,
// lock or allocate. The tap outlives every device it is given to.
class SampleTap {
 public:
  virtual ~SampleTap() = default;
  // 16-bit signed mono samples in the machine's byte order; bytes is even.
  virtual void Captured(const std::byte* data, std::size_t bytes) = 0;
};

}  // namespace zudorave
