// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-shot timer on a connection's mainloop, for a step to be tried again a little later.
// Threads: In and Cancel with the mainloop's lock held; the step runs on the mainloop's thread.
// Its owner cancels it, under the lock, before it goes.
#include <cstdint>
#include <functional>

#include "platform/pulse/pulse_connection.h"

struct pa_time_event;

namespace zudorave {

class PulseTimer {
 public:
  PulseTimer(PulseConnection& connection, std::function<void()> step)
      : connection_(connection), step_(std::move(step)) {}
  PulseTimer(const PulseTimer&) = delete;
  PulseTimer& operator=(const PulseTimer&) = delete;

  // Runs the step once, ms from now; a timer already set is moved there.
  void In(uint32_t ms);
  void Cancel();

 private:
  PulseConnection& connection_;
  std::function<void()> step_;
  pa_time_event* event_ = nullptr;
};

}  // namespace zudorave
