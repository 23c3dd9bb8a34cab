// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A user-interface thread the test drives: posted calls wait until the test runs them.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/ui_thread.h"

namespace zudorave::testing {

class QueuedUiThread : public UiThread {
 public:
  void Post(std::function<void()> call) override {
    {
      std::lock_guard lock(mutex_);
      calls_.push_back(std::move(call));
    }
    posted_.notify_all();
  }

  // Runs every call waiting now, in order; returns how many ran.
  int RunPending() {
    int ran = 0;
    while (std::function<void()> call = TakeFront()) {
      call();
      ++ran;
    }
    return ran;
  }

  // Waits up to timeout for a call to be posted, then runs what is waiting.
  int WaitAndRun(std::chrono::milliseconds timeout) {
    {
      std::unique_lock lock(mutex_);
      posted_.wait_for(lock, timeout, [this] { return !calls_.empty(); });
    }
    return RunPending();
  }

  std::size_t Waiting() {
    std::lock_guard lock(mutex_);
    return calls_.size();
  }

 private:
  std::function<void()> TakeFront() {
    std::lock_guard lock(mutex_);
    if (calls_.empty()) return {};
    std::function<void()> call = std::move(calls_.front());
    calls_.pop_front();
    return call;
  }

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace zudorave::testing
