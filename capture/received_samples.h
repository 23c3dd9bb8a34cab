// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The samples the input records while the station receives, on their way to the decoder: a
// fixed ring that the recording thread fills without waiting and the decoder's thread empties,
// in order, each sample once. Samples that find the ring full are counted as lost; they never
// overwrite what waits.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/sample_tap.h"

namespace zudorave {

// Threads: Captured on the recording thread, one call at a time. Take on the one thread that
// empties the ring. Open on the thread that starts and joins that thread, while it does not
// run. Close and Lost from any thread.
class ReceivedSamples : public SampleTap {
 public:
  // About three seconds at the capture rate: a decoder held up that long still loses nothing.
  static constexpr std::size_t Capacity = std::size_t{1} << 17;

  ReceivedSamples();

  void Captured(const std::byte* data, std::size_t bytes) override;

  // Takes samples from now on; what waits from before is dropped, the lost count starts at 0.
  void Open();
  // Takes no more; what waits can still be taken.
  void Close();
  bool IsOpen() const { return open_.load(std::memory_order_acquire); }

  // Moves up to out.size() waiting samples, oldest first, into out; returns how many.
  std::size_t Take(std::span<int16_t> out);
  // Samples waiting to be taken.
  std::size_t Waiting() const {
    return static_cast<std::size_t>(tail_.load(std::memory_order_acquire) -
                                    head_.load(std::memory_order_acquire));
  }
  // Samples that found the ring full since Open.
  uint64_t Lost() const { return lost_.load(std::memory_order_relaxed); }

 private:
  std::unique_ptr<int16_t[]> slots_;
  std::atomic<bool> open_{false};
  std::atomic<uint64_t> lost_{0};
  // Apart, so the two ends do not share a cache line; they only grow, and wrap at Capacity.
  alignas(64) std::atomic<uint64_t> head_{0};  // written by the emptying thread
  alignas(64) std::atomic<uint64_t> tail_{0};  // written by the recording thread
};

}  // namespace zudorave
