// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records the beeps. A beep may come from a worker thread: it is recorded under a lock, and
// WaitForCalls reads the record from another thread.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/speaker.h"

namespace zudorave::testing {

class FakeSpeaker : public Speaker {
 public:
  // Read directly only where no beep can come meanwhile.
  std::vector<std::string> calls;
  std::vector<std::thread::id> threads;  // that made each call
  void Beep(uint32_t frequency, uint32_t milliseconds) override {
    Record("Beep " + std::to_string(frequency) + " " + std::to_string(milliseconds));
  }
  void MessageBeep(uint32_t type) override { Record("MessageBeep " + std::to_string(type)); }

  // The calls once there are count of them, or what there is after 2 s.
  std::vector<std::string> WaitForCalls(std::size_t count) {
    std::unique_lock lock(mutex_);
    recorded_.wait_for(lock, std::chrono::seconds(2), [&] { return calls.size() >= count; });
    return calls;
  }

 private:
  void Record(std::string call) {
    const std::lock_guard lock(mutex_);
    calls.push_back(std::move(call));
    threads.push_back(std::this_thread::get_id());
    recorded_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable recorded_;
};

}  // namespace zudorave::testing
