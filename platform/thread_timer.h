// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The periodic timer on plain threads: each SetEvent starts a thread that sleeps on the steady
// clock until start + n x period, so a late wake-up never shifts the ticks after it. A tick more
// than a whole period late is dropped rather than fired in a burst, which also keeps a callback
// slower than its period from pinning a core.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/periodic_timer.h"

namespace zudorave {

// Threads: every operation may be called from any thread, including from inside a callback
// (KillEvent of the callback's own timer finishes the current tick and none follows). Two
// callbacks that each KillEvent the other's timer wait on each other for good; do not do that.
// The destructor kills every timer and must not run inside one of this object's callbacks.
class ThreadTimer : public PeriodicTimer {
 public:
  ThreadTimer() = default;
  ~ThreadTimer() override;
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  // Nothing to switch on: every timer thread already asks for the finest wake-ups. A period of
  // 0 ms is refused, as the multimedia timer does.
  uint32_t BeginPeriod(uint32_t ms) override;
  uint32_t EndPeriod(uint32_t ms) override;

  // Returns 0 for a zero delay, an empty callback, flags other than TIME_ONESHOT or
  // TIME_PERIODIC, or when no thread can be started. The resolution is not used.
  TimerId SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback, uintptr_t user,
                   uint32_t flags) override;
  uint32_t KillEvent(TimerId id) override;

 private:
  struct State;
  struct Running {
    std::shared_ptr<State> state;
    std::thread thread;
  };

  void Run(const std::shared_ptr<State>& state);
  // Joins the threads in finished_ that have already returned; others wait for a later call.
  void JoinFinished();

  std::mutex mutex_;
  std::map<TimerId, Running> timers_;
  // Threads no longer in timers_ that nobody joined yet: one-shots that ended, and timers
  // killed from their own callback.
  std::vector<Running> finished_;
  TimerId lastId_ = 0;
  bool closing_ = false;  // set by the destructor: no new timers
};

}  // namespace zudorave
