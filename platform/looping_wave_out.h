// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header bookkeeping of an output device that loops the one header it is given straight
// from the caller's buffer, reading its current content on every pass. The device underneath
// only asks for samples (RenderLoopInto) and keeps its audio thread out while the loop changes.
// Threads: the WaveOut calls on one thread (the user-interface thread); RenderLoopInto on the
// device's audio thread, never between HoldRender(true) and HoldRender(false).
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/output_level.h"
#include "platform/wave_out.h"

namespace zudorave {

class LoopingWaveOut : public WaveOut {
 public:
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult Write(WaveHdr& header) override;
  MmResult Reset() override;
  // The level the loop plays at; set before the device first opens, and outlives it.
  void SetLevel(OutputLevel* level) { level_ = level; }

 protected:
  virtual bool DeviceOpen() const = 0;
  // Returns once the audio thread is out of RenderLoopInto and keeps it out, or lets it in to
  // play what was written.
  virtual void HoldRender(bool hold) = 0;
  // After a reset: what the device holds but has not played is dropped, so the reset is heard
  // at once, and it stays silent until the next write.
  virtual void Silence() = 0;

  // The next samples of the loop, silence once it has played out or nothing was written.
  void RenderLoopInto(std::span<int16_t> out);
  // For Close, once the device can no longer render: the loop ends and the header comes back.
  void ForgetLoop();

 private:
  bool Finished() const { return passesLeft_.load(std::memory_order_acquire) == 0; }
  void Release();

  OutputLevel* level_ = nullptr;
  WaveHdr* playing_ = nullptr;  // the header written and not yet released; caller's thread

  // The audio thread's view, written while it is held out; the cursor also by the audio thread.
  std::atomic<int16_t*> samples_{nullptr};
  std::atomic<uint32_t> sampleCount_{0};
  std::atomic<uint32_t> position_{0};
  std::atomic<uint32_t> passesLeft_{0};
};

}  // namespace zudorave
