// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A thread that runs one job each time it is woken. Waking takes no lock and allocates
// nothing, so an audio callback may do it; wakes that come while the job runs fold into one
// more run. The destructor stops and joins the thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace zudorave {

class WakeThread {
 public:
  explicit WakeThread(std::function<void()> job);
  ~WakeThread();
  WakeThread(const WakeThread&) = delete;
  WakeThread& operator=(const WakeThread&) = delete;

  void Wake();

 private:
  void Run();

  std::function<void()> job_;
  std::atomic<uint32_t> wakes_{0};
  std::atomic<bool> quit_{false};
  std::thread thread_;  // last: starts once everything it reads is in place
};

}  // namespace zudorave
