// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide objects, in the order the program creates them; C++ destroys members in
// reverse, so the queues (and the pool they point into) go last.
#include <cstdint>

#include "capture/capture_pool.h"
#include "capture/capture_queue.h"
#include "morse/station_values.h"
#include "platform/wave_out.h"
#include "synth/snd_tx.h"

namespace zudorave {

struct ProgramObjects {
  // The playback device comes from the platform and must outlive the generator.
  explicit ProgramObjects(WaveOut& playbackDevice, const BlockAllocator& allocate = AllocateBlock)
      : Tx(Af1Frequency, playbackDevice, FilledQueue, allocate) {}

  CapturePool Pool;
  CaptureQueue FreeQueue;
  CaptureQueue FilledQueue;
  CaptureQueue SpareQueue;
  // AF1 at the start, which the generator is made with; the tone controls keep it from then.
  const int32_t Af1Frequency = SndTx::InitialAf1Frequency;
  SndTx Tx;
  // Speed, spacing, texts, the decode map and the station's flags, in their own order. The
  // spacing is a plain number, so being set after the generator rather than before changes
  // nothing.
  StationValues Station;
};

}  // namespace zudorave
