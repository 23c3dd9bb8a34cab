// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/loop_render.h"

#include <algorithm>
#include <atomic>

#include "platform/wave_types.h"

namespace zudorave {

uint32_t PassesFor(uint32_t flags, uint32_t loops) {
  const uint32_t loopFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  return (flags & loopFlags) == loopFlags ? loops : 1;
}

void RenderLoop(int16_t* source, uint32_t sampleCount, LoopCursor& cursor, std::span<int16_t> out) {
  std::size_t done = 0;
  if (source != nullptr && sampleCount > 0) {
    if (cursor.position >= sampleCount) cursor.position = 0;
    while (done < out.size() && cursor.passesLeft > 0) {
      const std::size_t run =
          std::min<std::size_t>(out.size() - done, sampleCount - cursor.position);
      for (std::size_t i = 0; i < run; ++i) {
        out[done + i] =
            std::atomic_ref<int16_t>(source[cursor.position + i]).load(std::memory_order_relaxed);
      }
      done += run;
      cursor.position += static_cast<uint32_t>(run);
      if (cursor.position == sampleCount) {
        cursor.position = 0;
        --cursor.passesLeft;
      }
    }
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(done), out.end(), int16_t{0});
}

}  // namespace zudorave
