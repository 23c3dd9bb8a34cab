// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program's worker threads need: a call carried out on the user-interface thread that
// the worker waits for, as a window message sent from another thread, and sleeps that end
// early when the worker is asked to stop. The thread that owns a worker asks it to stop before
// it joins it, so a worker never holds up the user-interface thread that joins it.
#include <chrono>
#include <functional>
#include <stop_token>

#include "platform/ui_thread.h"

namespace zudorave {

// Runs call on the user-interface thread and waits until it has run; true then. Gives up and
// returns false, without the call ever running, when stop is requested before it started.
// Call from a worker thread only: from the user-interface thread it would wait for itself.
bool CallOnUiThread(UiThread& ui, std::function<void()> call, std::stop_token stop);

// Sleeps for the time given; false, and at once, when stop is requested.
bool SleepUnlessStopped(std::chrono::milliseconds time, std::stop_token stop);

// Priorities as the program names them: -1 below normal, 0 normal.
inline constexpr int ThreadPriorityBelowNormal = -1;
inline constexpr int ThreadPriorityNormal = 0;

// Lowers the calling thread's scheduling priority for below normal; best effort.
void SetCurrentThreadPriority(int priority);

}  // namespace zudorave
