// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wake_thread.h"

namespace zudorave {

WakeThread::WakeThread(std::function<void()> job)
    : job_(std::move(job)), thread_([this] { Run(); }) {}

WakeThread::~WakeThread() {
  quit_.store(true, std::memory_order_release);
  Wake();
  thread_.join();
}

void WakeThread::Wake() {
  wakes_.fetch_add(1, std::memory_order_release);
  wakes_.notify_one();
}

void WakeThread::Run() {
  uint32_t seen = 0;
  for (;;) {
    wakes_.wait(seen, std::memory_order_acquire);
    seen = wakes_.load(std::memory_order_acquire);
    if (quit_.load(std::memory_order_acquire)) return;
    job_();
  }
}

}  // namespace zudorave
