#include "platform/qt/qt_ui_thread.h"

#include <QMetaObject>

namespace zudorave {

void QtUiThread::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
}

}  // namespace zudorave
