// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/thread_timer.h"

#include <sys/prctl.h>

#include <chrono>
#include <condition_variable>
#include <system_error>
#include <utility>

namespace zudorave {

using Clock = std::chrono::steady_clock;

struct ThreadTimer::State {
  TimerId id;
  Clock::time_point start;
  Clock::duration period;
  bool periodic;
  TimerCallback callback;
  uintptr_t user;

  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;                // guarded by mutex
  std::atomic<bool> exited{false};  // the thread has returned from Run, or is about to
};

ThreadTimer::~ThreadTimer() {
  std::map<TimerId, Running> timers;
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    timers.swap(timers_);
  }
  for (auto& [id, running] : timers) {
    {
      std::lock_guard lock(running.state->mutex);
      running.state->stop = true;
    }
    running.state->wake.notify_one();
  }
  for (auto& [id, running] : timers) running.thread.join();
  // With timers_ empty nothing adds to finished_ any more, but a callback still running there
  // may join some of it through SetEvent, so take the rest under the lock.
  std::vector<Running> finished;
  {
    std::lock_guard lock(mutex_);
    finished.swap(finished_);
  }
  for (Running& running : finished) running.thread.join();
}

uint32_t ThreadTimer::BeginPeriod(uint32_t ms) { return ms == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

uint32_t ThreadTimer::EndPeriod(uint32_t ms) { return ms == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

TimerId ThreadTimer::SetEvent(uint32_t delayMs, uint32_t /*resolutionMs*/, TimerCallback callback,
                              uintptr_t user, uint32_t flags) {
  // A zero period would tick without sleeping.
  if (delayMs == 0 || !callback || (flags != TIME_ONESHOT && flags != TIME_PERIODIC)) return 0;
  JoinFinished();

  auto state = std::make_shared<State>();
  state->start = Clock::now();  // before the thread exists, so its start-up delays no tick
  state->period = std::chrono::milliseconds(delayMs);
  state->periodic = flags == TIME_PERIODIC;
  state->callback = std::move(callback);
  state->user = user;

  std::lock_guard lock(mutex_);
  if (closing_) return 0;
  do {
    ++lastId_;
  } while (lastId_ == 0 || timers_.count(lastId_) != 0);
  state->id = lastId_;
  // The thread takes mutex_ only once its first tick is over, so starting it under the lock is
  // safe; it makes sure the thread finds its entry when a one-shot removes itself.
  Running& running = timers_[state->id];
  running.state = state;
  try {
    running.thread = std::thread([this, state] { Run(state); });
  } catch (const std::system_error&) {
    timers_.erase(state->id);
    return 0;
  }
  return state->id;
}

uint32_t ThreadTimer::KillEvent(TimerId id) {
  Running running;
  {
    std::lock_guard lock(mutex_);
    const auto found = timers_.find(id);
    if (found == timers_.end()) return TIMERR_NOCANDO;
    running = std::move(found->second);
    timers_.erase(found);
  }
  {
    std::lock_guard lock(running.state->mutex);
    running.state->stop = true;
  }
  running.state->wake.notify_one();
  if (running.thread.get_id() == std::this_thread::get_id()) {
    // Inside the timer's own callback: Run sees stop once the callback returns.
    std::lock_guard lock(mutex_);
    finished_.push_back(std::move(running));
  } else {
    running.thread.join();
  }
  JoinFinished();
  return TIMERR_NOERROR;
}

void ThreadTimer::JoinFinished() {
  std::vector<Running> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = finished_.begin(); it != finished_.end();) {
      // Only threads that have returned: waiting on one whose callback still runs could wait
      // for the very thread calling here.
      if (it->state->exited.load(std::memory_order_acquire)) {
        done.push_back(std::move(*it));
        it = finished_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (Running& running : done) running.thread.join();
}

void ThreadTimer::Run(const std::shared_ptr<State>& state) {
  // The kernel would otherwise defer each wake-up by up to 50 us to batch it with others; waking
  // on time is this thread's whole job. Measured: about 50 us off the median, idle or loaded.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  const Clock::duration period = state->period;
  for (int64_t n = 1;; ++n) {
    Clock::time_point due = state->start + n * period;
    {
      std::unique_lock lock(state->mutex);
      if (state->wake.wait_until(lock, due, [&] { return state->stop; })) break;
    }
    const Clock::duration late = Clock::now() - due;
    if (late >= period) n += late / period;  // drop the ticks a whole period overdue
    state->callback(state->id, 0, state->user, 0, 0);
    if (!state->periodic) {
      // A one-shot that ended removes itself, unless KillEvent already took it.
      std::lock_guard lock(mutex_);
      const auto found = timers_.find(state->id);
      if (found != timers_.end() && found->second.state == state) {
        finished_.push_back(std::move(found->second));
        timers_.erase(found);
      }
      break;
    }
  }
  state->exited.store(true, std::memory_order_release);
}

}  // namespace zudorave
