// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The last stretch of a signal in one piece of memory, for starting afresh on what has been
// heard. Its room is taken once: when it is full, the oldest quarter makes way.
// Threads: one at a time.
#include <cstddef>
#include <span>
#include <vector>

namespace zudorave {

template <typename T>
class SampleHistory {
 public:
  explicit SampleHistory(std::size_t room) { samples_.reserve(room); }

  void Push(const T& sample) {
    if (samples_.size() == samples_.capacity()) {
      samples_.erase(samples_.begin(),
                     samples_.begin() + static_cast<std::ptrdiff_t>(samples_.capacity() / 4));
    }
    samples_.push_back(sample);
  }
  void Clear() { samples_.clear(); }
  std::span<T> All() { return samples_; }
  std::span<const T> Last(std::size_t count) const {
    const std::size_t size = samples_.size();
    return std::span<const T>(samples_).subspan(size - std::min(count, size));
  }

 private:
  std::vector<T> samples_;
};

}  // namespace zudorave
