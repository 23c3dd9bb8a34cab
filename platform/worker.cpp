// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/worker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace zudorave {

namespace {

struct PendingCall {
  std::mutex mutex;
  std::condition_variable_any finished;
  std::function<void()> call;
  bool started = false;
  bool done = false;
  bool abandoned = false;
};

}  // namespace

bool CallOnUiThread(UiThread& ui, std::function<void()> call, std::stop_token stop) {
  auto pending = std::make_shared<PendingCall>();
  pending->call = std::move(call);
  ui.Post([pending] {
    {
      std::lock_guard lock(pending->mutex);
      if (pending->abandoned) return;
      pending->started = true;
    }
    pending->call();
    {
      std::lock_guard lock(pending->mutex);
      pending->done = true;
    }
    pending->finished.notify_all();
  });
  std::unique_lock lock(pending->mutex);
  if (pending->finished.wait(lock, stop, [&] { return pending->done; })) return true;
  if (!pending->started) {
    pending->abandoned = true;
    return false;
  }
  // Already running on the user-interface thread, which is therefore not joining us: it ends.
  pending->finished.wait(lock, [&] { return pending->done; });
  return true;
}

bool SleepUnlessStopped(std::chrono::milliseconds time, std::stop_token stop) {
  std::mutex mutex;
  std::condition_variable_any never;
  std::unique_lock lock(mutex);
  return !never.wait_for(lock, stop, time, [] { return false; }) && !stop.stop_requested();
}

void SetCurrentThreadPriority(int priority) {
  if (priority >= ThreadPriorityNormal) return;
  // Linux keeps a nice value per thread; one step nicer than the process is below normal.
  const auto thread = static_cast<id_t>(syscall(SYS_gettid));
  const int nice = getpriority(PRIO_PROCESS, 0);
  setpriority(PRIO_PROCESS, thread, nice - priority);
}

}  // namespace zudorave
