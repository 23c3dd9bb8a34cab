// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The header bookkeeping of an output device that loops the one header it is given straight
// from the caller's buffer, reading its current content on every pass. The device underneath
// only asks for samples (RenderLoopInto) and keeps its audio thread out while the loop changes.
// A device that queues far ahead (to wake seldom) takes back what it queued but has not played
// (TakeBack) whenever the loop changes, and renders it again.
// Threads: the WaveOut calls on one thread (the user-interface thread); RenderLoopInto and
// TakeBack on the device's audio thread, never between HoldRender(true) and HoldRender(false).
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/loop_render.h"
#include "platform/output_level.h"
#include "platform/wave_out.h"

namespace zudorave {

class LoopingWaveOut : public WaveOut {
 public:
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult Write(WaveHdr& header) override;
  MmResult Reset() override;
  void BufferChanged() override {
    if (DeviceOpen()) Requeue();
  }
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
  // The loop changed: a device that queues ahead renders again, through TakeBack, what it has
  // not yet played. Nothing for a device with a short queue.
  virtual void Requeue() {}

  // The next samples of the loop, silence once it has played out or nothing was written.
  void RenderLoopInto(std::span<int16_t> out);
  // The last `samples` rendered will not be played: the next RenderLoopInto renders them again,
  // from the buffer as it is now, and a loop written since starts there. False, changing
  // nothing, when they are further back than remembered or the loop has played out (its
  // header may be gone).
  bool TakeBack(uint64_t samples);
  // For Close, once the device can no longer render: the loop ends and the header comes back.
  void ForgetLoop();

 private:
  bool Finished() const { return passesLeft_.load(std::memory_order_acquire) == 0; }
  void Release();
  // With the audio thread held out: a new loop (or silence) starts with the next sample
  // rendered, and a take-back further back starts it there instead.
  void Restart(LoopCursor cursor);
  // Where rendering stands, the level's glide taken up first.
  LoopState Now(LoopCursor cursor);

  OutputLevel* level_ = nullptr;
  WaveHdr* playing_ = nullptr;  // the header written and not yet released; caller's thread

  // The audio thread's view, written while it is held out; the cursor also by the audio thread.
  std::atomic<int16_t*> samples_{nullptr};
  std::atomic<uint32_t> sampleCount_{0};
  std::atomic<uint32_t> position_{0};
  std::atomic<uint32_t> passesLeft_{0};

  // The audio thread's, or the caller's while it is held out.
  uint64_t rendered_ = 0;   // samples rendered since the device was made
  uint64_t restartAt_ = 0;  // where the last written loop (or reset) began
  LoopCursor restart_;      // and how
  LoopHistory history_;
};

}  // namespace zudorave
