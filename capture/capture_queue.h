// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <deque>

#include "capture/capture_buffer.h"

namespace zudorave {

// First in, first out; points at buffers it does not own.
class CaptureQueue {
 public:
  void PushBack(CaptureBuffer* buffer) { entries_.push_back(buffer); }
  CaptureBuffer* Front() const { return entries_.front(); }
  void PopFront() { entries_.pop_front(); }
  // Removes and returns the front, or null when the queue is empty.
  CaptureBuffer* TakeFront() {
    if (entries_.empty()) return nullptr;
    CaptureBuffer* front = entries_.front();
    entries_.pop_front();
    return front;
  }
  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

 private:
  std::deque<CaptureBuffer*> entries_;
};

}  // namespace zudorave
