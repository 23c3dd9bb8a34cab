// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs posted calls on the user-interface thread from the Qt event loop. Calls wait in a queue
// of ours and an eventfd wakes the loop, so a worker thread never touches Qt: Qt's own queue
// is locked in ways thread checkers cannot see. When the context object is destroyed first, the
// calls still queued are dropped.
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/ui_thread.h"

namespace zudorave {

// Construct, Start and destroy on the user-interface thread; Post from any thread.
class QtUiThread : public UiThread {
 public:
  explicit QtUiThread(QObject* context);
  ~QtUiThread() override;
  QtUiThread(const QtUiThread&) = delete;
  QtUiThread& operator=(const QtUiThread&) = delete;

  // Begins running calls from the event loop; needs the application object, and happens on
  // construction when there is one already. Calls posted before wait until then.
  void Start();
  void Post(std::function<void()> call) override;

 private:
  void RunPosted();

  QObject* context_;
  int wake_ = -1;
  QPointer<QSocketNotifier> notifier_;
  std::mutex mutex_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace zudorave
