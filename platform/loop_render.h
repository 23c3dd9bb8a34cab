// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The looping part of the output device as a plain function: what the sound card hears next,
// given the live sample buffer and how far the loop has got.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/output_level.h"

namespace zudorave {

struct LoopCursor {
  uint32_t position = 0;    // next sample of the current pass
  uint32_t passesLeft = 0;  // including the current one
};

// The passes a header asks for: its loop count when it carries both loop flags, else one.
uint32_t PassesFor(uint32_t flags, uint32_t loops);

// Whole samples in a byte length; an odd trailing byte is not played.
inline uint32_t WholeSamples(uint32_t bytes) { return bytes / 2; }

// Fills out from source[0, sampleCount) repeated while passes are left, then with silence.
// Every sample is read afresh through a relaxed atomic load, since the mixer rewrites the
// buffer in place while it plays.
void RenderLoop(int16_t* source, uint32_t sampleCount, LoopCursor& cursor, std::span<int16_t> out);

// The cursor after `samples` more samples of a loop of sampleCount: passes run out, never wrap.
LoopCursor Advanced(LoopCursor cursor, uint32_t sampleCount, uint64_t samples);

// Where a loop's rendering stands: the loop's cursor and the level's glide.
struct LoopState {
  LoopCursor cursor;
  OutputLevel::Glide glide;
};

// Where the rendering stood at the last few points of the rendered stream, so that a device
// which queues far ahead can take back what it has not played and render it again from the
// buffer's present content. A fixed number of points, never allocating (the audio thread's).
class LoopHistory {
 public:
  static constexpr std::size_t Points = 64;

  // The state at sample `at` of the rendered stream; points come in rising order.
  void Record(uint64_t at, const LoopState& state);
  // The state at `at`, worked out from the last point at or before it; none when `at` is
  // further back than the points remembered.
  std::optional<LoopState> At(uint64_t at, uint32_t sampleCount) const;
  // Forgets the points from `at` on.
  void DropFrom(uint64_t at);

 private:
  struct Point {
    uint64_t at = 0;
    LoopState state;
  };
  const Point& Newest(std::size_t back) const {
    return points_[(next_ + Points - 1 - back) % Points];
  }

  std::array<Point, Points> points_{};
  std::size_t next_ = 0;   // where the next point goes
  std::size_t count_ = 0;  // points remembered, up to Points
};

}  // namespace zudorave
