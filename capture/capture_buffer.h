// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>

namespace zudorave {

// One one-second capture buffer: 16-bit signed mono samples and the bytes they hold.
struct CaptureBuffer {
  std::byte* data = nullptr;
  int32_t length = 0;
};

inline constexpr int CaptureBufferCount = 8;

}  // namespace zudorave
