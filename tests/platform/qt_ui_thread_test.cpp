// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_ui_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

namespace zudorave {
namespace {

class QtUiThreadTest : public ::testing::Test {
 protected:
  int argc = 1;
  char name[8] = "test";
  char* argv[2] = {name, nullptr};
  QCoreApplication app{argc, argv};
};

TEST_F(QtUiThreadTest, RunsACallPostedFromAnotherThreadOnTheContextsThread) {
  QObject context;
  QtUiThread ui(&context);
  QThread* ranOn = nullptr;
  std::thread poster([&] { ui.Post([&] { ranOn = QThread::currentThread(); }); });
  poster.join();
  EXPECT_EQ(ranOn, nullptr);  // queued, not run in the poster
  QCoreApplication::processEvents();
  EXPECT_EQ(ranOn, QThread::currentThread());
}

TEST_F(QtUiThreadTest, CallsQueuedForADestroyedContextAreDropped) {
  auto context = std::make_unique<QObject>();
  QtUiThread ui(context.get());
  bool ran = false;
  ui.Post([&] { ran = true; });
  context.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace zudorave
