// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM, SIGINT and SIGHUP, heard on the user-interface thread. From construction on, the
// handler only writes the signal's number into a pipe, which is all a handler may safely do;
// Watch reads the pipe from the Qt event loop and calls back there. A signal that came before
// Watch, or before any event loop ran, is heard once one runs. Each signal is caught once: the
// handler then steps aside, so a second one ends the program at once should the clean end hang.
// A signal the program was started with ignored stays ignored.
// Threads: construct, Watch and destroy on the user-interface thread; one object at a time.
#include <signal.h>

#include <QSocketNotifier>
#include <array>
#include <functional>
#include <memory>

namespace zudorave {

class QtQuitSignals {
 public:
  static constexpr std::array<int, 3> Caught = {SIGTERM, SIGINT, SIGHUP};

  QtQuitSignals();
  // Puts back the handlers there were before.
  ~QtQuitSignals();
  QtQuitSignals(const QtQuitSignals&) = delete;
  QtQuitSignals& operator=(const QtQuitSignals&) = delete;

  // Calls onSignal with the signal's number from this thread's event loop, for every signal
  // caught so far and from now on. Needs the QCoreApplication.
  void Watch(std::function<void(int)> onSignal);

 private:
  void Read();

  int readEnd_ = -1;
  int writeEnd_ = -1;
  std::array<struct sigaction, Caught.size()> previous_{};
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void(int)> onSignal_;
};

}  // namespace zudorave
