#pragma once
// The program-wide objects, in the order the program creates them; C++ destroys members in
// reverse, so the queues (and the pool they point into) go last.
#include <atomic>
#include <cstdint>

#include "capture/capture_pool.h"
#include "capture/capture_queue.h"
#include "morse/morse_timing.h"
#include "morse/operating_state.h"
#include "platform/wave_out.h"
#include "synth/snd_tx.h"

namespace zudorave {

struct ProgramObjects {
  // The playback device comes from the platform and must outlive the generator.
  explicit ProgramObjects(WaveOut& playbackDevice, const BlockAllocator& allocate = AllocateBlock)
      : Tx(SndTx::InitialAf1Frequency, playbackDevice, FilledQueue, allocate) {}

  CapturePool Pool;
  CaptureQueue FreeQueue;
  CaptureQueue FilledQueue;
  CaptureQueue SpareQueue;
  std::atomic<int32_t> ExtraSpacing{0};
  int32_t Af1Frequency = SndTx::InitialAf1Frequency;
  SndTx Tx;
  std::atomic<int32_t> DotMs{InitialDotMs};
  std::atomic<int32_t> RequestedDotMs{InitialDotMs};
  std::atomic<int32_t> OperatingState{Idle};
  // Settings of the Option menu and the flag for a tone change held back while transmitting.
  std::atomic<uint8_t> UseSpeaker{0};
  std::atomic<uint8_t> IgnoreSpaces{0};
  std::atomic<uint8_t> ToneChangePending{0};
};

}  // namespace zudorave
