// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The looping part of the output device as a plain function: what the sound card hears next,
// given the live sample buffer and how far the loop has got.
#include <cstdint>
#include <span>

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

}  // namespace zudorave
