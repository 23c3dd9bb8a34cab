// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An output that asks a source for its samples as it plays, for sound that is worked out on
// the spot (the keyed sidetone) rather than looped from a buffer.
#include <cstdint>
#include <span>

#include "platform/wave_types.h"

namespace zudorave {

// Render runs on the output's audio thread, one call at a time. It must not allocate, lock or
// wait: the output's next samples depend on it returning quickly.
class RenderSource {
 public:
  virtual ~RenderSource() = default;
  // Fills every sample of out (16-bit mono).
  virtual void Render(std::span<int16_t> out) = 0;
  // The last `samples` rendered will not be played: the next Render starts where they began.
  // False, changing nothing, for a source that cannot go back (the output then keeps them).
  virtual bool TakeBack(uint64_t samples) {
    (void)samples;
    return false;
  }
};

// Threads: Open and Close on one thread (the user-interface thread); between them the source's
// Render runs on the output's audio thread.
class RenderOut {
 public:
  virtual ~RenderOut() = default;

  // Opens the default output in the format (16-bit mono PCM) and starts asking source for
  // samples. MMSYSERR_ALLOCATED when already open, MMSYSERR_NODRIVER without a device.
  virtual MmResult Open(const WaveFormatEx& format, RenderSource& source) = 0;
  // Silent at once. Returns only when no Render runs and none will, so the source may go right
  // after. MMSYSERR_INVALHANDLE when not open.
  virtual MmResult Close() = 0;
  // Any thread, while open: the device went away under the output (the sound server was lost),
  // and nothing renders until it is back, if it ever is.
  virtual bool Lost() const { return false; }
};

}  // namespace zudorave
