// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_ui_thread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdint>

namespace zudorave {

QtUiThread::QtUiThread(QObject* context)
    : context_(context), wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (QCoreApplication::instance() != nullptr) Start();
}

QtUiThread::~QtUiThread() {
  delete notifier_.data();
  if (wake_ >= 0) close(wake_);
}

void QtUiThread::Start() {
  if (notifier_ != nullptr || wake_ < 0) return;
  notifier_ = new QSocketNotifier(wake_, QSocketNotifier::Read, context_);
  QObject::connect(notifier_.data(), &QSocketNotifier::activated, context_,
                   [this] { RunPosted(); });
}

void QtUiThread::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  const uint64_t one = 1;
  // The counter only wakes the loop; a full counter already means a wake is on its way.
  [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
}

void QtUiThread::RunPosted() {
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
  // One at a time: a call may run a nested event loop that comes back here.
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard lock(mutex_);
      if (calls_.empty()) return;
      call = std::move(calls_.front());
      calls_.pop_front();
    }
    call();
  }
}

}  // namespace zudorave
