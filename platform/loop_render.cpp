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

LoopCursor Advanced(LoopCursor cursor, uint32_t sampleCount, uint64_t samples) {
  if (sampleCount == 0 || cursor.passesLeft == 0) return cursor;
  if (cursor.position >= sampleCount) cursor.position = 0;  // as RenderLoop starts it
  const uint64_t along = uint64_t{cursor.position} + samples;
  const uint64_t passes = along / sampleCount;
  if (passes >= cursor.passesLeft) return LoopCursor{0, 0};
  cursor.passesLeft -= static_cast<uint32_t>(passes);
  cursor.position = static_cast<uint32_t>(along % sampleCount);
  return cursor;
}

void LoopHistory::Record(uint64_t at, const LoopState& state) {
  points_[next_] = Point{at, state};
  next_ = (next_ + 1) % Points;
  if (count_ < Points) ++count_;
}

std::optional<LoopState> LoopHistory::At(uint64_t at, uint32_t sampleCount) const {
  for (std::size_t back = 0; back < count_; ++back) {
    const Point& point = Newest(back);
    if (point.at > at) continue;
    const uint64_t on = at - point.at;
    return LoopState{Advanced(point.state.cursor, sampleCount, on), point.state.glide.After(on)};
  }
  return std::nullopt;
}

void LoopHistory::DropFrom(uint64_t at) {
  while (count_ > 0 && Newest(0).at >= at) {
    next_ = (next_ + Points - 1) % Points;
    --count_;
  }
}

}  // namespace zudorave
