#pragma once
// Posts calls into the Qt event loop of the thread that owns the context object. When the
// context is destroyed first, Qt drops the calls still queued for it.
#include <QObject>

#include "platform/ui_thread.h"

namespace zudorave {

class QtUiThread : public UiThread {
 public:
  explicit QtUiThread(QObject* context) : context_(context) {}
  void Post(std::function<void()> call) override;

 private:
  QObject* context_;
};

}  // namespace zudorave
