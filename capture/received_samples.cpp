// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/received_samples.h"

#include <algorithm>
#include <cstring>

namespace zudorave {

ReceivedSamples::ReceivedSamples() : slots_(std::make_unique<int16_t[]>(Capacity)) {}

void ReceivedSamples::Captured(const std::byte* data, std::size_t bytes) {
  if (!open_.load(std::memory_order_acquire)) return;
  const std::size_t count = bytes / sizeof(int16_t);
  const uint64_t tail = tail_.load(std::memory_order_relaxed);
  const auto waiting = static_cast<std::size_t>(tail - head_.load(std::memory_order_acquire));
  const std::size_t taken = std::min(count, Capacity - waiting);
  // Byte copies: the device's data need not be aligned for 16-bit values.
  const std::size_t at = tail % Capacity;
  const std::size_t first = std::min(taken, Capacity - at);
  std::memcpy(slots_.get() + at, data, first * sizeof(int16_t));
  std::memcpy(slots_.get(), data + first * sizeof(int16_t), (taken - first) * sizeof(int16_t));
  tail_.store(tail + taken, std::memory_order_release);
  if (taken < count) lost_.fetch_add(count - taken, std::memory_order_relaxed);
}

void ReceivedSamples::Open() {
  head_.store(tail_.load(std::memory_order_acquire), std::memory_order_release);
  lost_.store(0, std::memory_order_relaxed);
  open_.store(true, std::memory_order_release);
}

void ReceivedSamples::Close() { open_.store(false, std::memory_order_release); }

std::size_t ReceivedSamples::Take(std::span<int16_t> out) {
  const uint64_t head = head_.load(std::memory_order_relaxed);
  const auto waiting = static_cast<std::size_t>(tail_.load(std::memory_order_acquire) - head);
  const std::size_t taken = std::min(out.size(), waiting);
  const std::size_t at = head % Capacity;
  const std::size_t first = std::min(taken, Capacity - at);
  std::copy_n(slots_.get() + at, first, out.data());
  std::copy_n(slots_.get(), taken - first, out.data() + first);
  head_.store(head + taken, std::memory_order_release);
  return taken;
}

}  // namespace zudorave
