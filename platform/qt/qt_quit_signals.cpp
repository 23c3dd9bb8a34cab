// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace zudorave {

namespace {

// The handler reads it; a lock-free atomic is safe to read in a handler.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void WriteSignal(int number) {
  const int saved = errno;
  const int fd = signalPipe.load(std::memory_order_relaxed);
  const auto byte = static_cast<unsigned char>(number);
  // A full pipe holds signals enough already; the write never blocks.
  if (fd >= 0 && write(fd, &byte, 1) < 0) {
  }
  errno = saved;
}

}  // namespace

QtQuitSignals::QtQuitSignals() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their old handlers
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
  signalPipe.store(writeEnd_, std::memory_order_relaxed);
  struct sigaction action {};
  action.sa_handler = &WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (std::size_t i = 0; i < Caught.size(); ++i) {
    sigaction(Caught[i], nullptr, &previous_[i]);
    // Ignored from the start, as nohup does for SIGHUP and a shell for a background job's
    // SIGINT: it stays ignored.
    if (previous_[i].sa_handler != SIG_IGN) sigaction(Caught[i], &action, nullptr);
  }
}

QtQuitSignals::~QtQuitSignals() {
  notifier_.reset();
  if (writeEnd_ < 0) return;
  for (std::size_t i = 0; i < Caught.size(); ++i) sigaction(Caught[i], &previous_[i], nullptr);
  signalPipe.store(-1, std::memory_order_relaxed);
  close(writeEnd_);
  close(readEnd_);
}

void QtQuitSignals::Watch(std::function<void(int)> onSignal) {
  if (readEnd_ < 0) return;
  onSignal_ = std::move(onSignal);
  notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { Read(); });
  // Signals caught before the notifier existed wait in the pipe, and it reports them as soon
  // as the event loop runs.
}

void QtQuitSignals::Read() {
  unsigned char numbers[16];
  for (;;) {
    const ssize_t count = read(readEnd_, numbers, sizeof numbers);
    if (count <= 0) return;
    for (ssize_t i = 0; i < count; ++i) {
      if (onSignal_) onSignal_(numbers[i]);
    }
  }
}

}  // namespace zudorave
