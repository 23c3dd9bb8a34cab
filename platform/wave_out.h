// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound output device the generator loops its buffer on.
#include "platform/wave_types.h"

namespace zudorave {

class WaveOut {
 public:
  virtual ~WaveOut() = default;

  // Opens the default output device in the given format; fails when there is none.
  virtual MmResult Open(const WaveFormatEx& format) = 0;
  virtual MmResult PrepareHeader(WaveHdr& header) = 0;
  virtual MmResult UnprepareHeader(WaveHdr& header) = 0;
  // Plays the header's buffer; with WHDR_BEGINLOOP|WHDR_ENDLOOP it repeats it dwLoops times,
  // reading the buffer's current content on every pass, then falls silent.
  virtual MmResult Write(WaveHdr& header) = 0;
  // Stops at once and gives the header back.
  virtual MmResult Reset() = 0;
  virtual MmResult Close() = 0;
  // The caller rewrote the playing buffer in place: a device that queues ahead plays the new
  // content as soon as it can, rather than after what it queued. Nothing for the others.
  virtual void BufferChanged() {}
};

}  // namespace zudorave
