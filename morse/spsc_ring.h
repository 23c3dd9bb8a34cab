// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed ring that one thread fills and one other thread empties, without locks or
// allocation, so the audio thread can be either end. Values are copied in and out.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace zudorave {

// Threads: Push on the producing thread only, Pop on the consuming thread only; Clear while
// neither runs.
template <typename T, std::size_t N>
class SpscRing {
  static_assert(N > 0 && (N & (N - 1)) == 0, "a power of two, so the counters wrap cleanly");
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  static constexpr std::size_t Capacity = N;

  // False, dropping nothing already in, when the ring is full.
  bool Push(const T& value) {
    const uint64_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) == N) return false;
    slots_[tail % N] = value;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // False when the ring is empty.
  bool Pop(T& value) {
    const uint64_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    value = slots_[head % N];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

  void Clear() {
    head_.store(0, std::memory_order_relaxed);
    tail_.store(0, std::memory_order_relaxed);
  }

 private:
  std::array<T, N> slots_{};
  // Apart, so the two ends do not share a cache line.
  alignas(64) std::atomic<uint64_t> head_{0};
  alignas(64) std::atomic<uint64_t> tail_{0};
};

}  // namespace zudorave
