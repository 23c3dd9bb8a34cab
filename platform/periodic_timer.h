// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A timer that calls back on a thread of its own, in place of the multimedia timer: once after a
// delay, or every period with tick n due at start + n x period, so late ticks do not add up.
#include <cstdint>
#include <functional>

namespace zudorave {

using TimerId = uint32_t;  // 0 is never a running timer

inline constexpr uint32_t TIME_ONESHOT = 0;
inline constexpr uint32_t TIME_PERIODIC = 1;
inline constexpr uint32_t TIMERR_NOERROR = 0;
inline constexpr uint32_t TIMERR_NOCANDO = 97;

// The callback gets the five values a multimedia timer hands over: the timer's id, a message
// (always 0), the user value given to SetEvent, and two reserved values (0).
using TimerCallback =
    std::function<void(TimerId id, uint32_t msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2)>;

// Any thread may call; callbacks run on the timer's thread, never two of one timer at once.
class PeriodicTimer {
 public:
  virtual ~PeriodicTimer() = default;

  // Asks for a finer timer resolution until the matching EndPeriod; may do nothing.
  virtual uint32_t BeginPeriod(uint32_t ms) = 0;
  virtual uint32_t EndPeriod(uint32_t ms) = 0;

  // Starts a timer with this delay (and period, with TIME_PERIODIC). Returns its id, or 0 when
  // it could not be started.
  virtual TimerId SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback,
                           uintptr_t user, uint32_t flags) = 0;

  // Stops a timer. When it returns, no callback of that timer runs any more; called from the
  // timer's own callback, the current tick finishes and none follows.
  virtual uint32_t KillEvent(TimerId id) = 0;
};

}  // namespace zudorave
