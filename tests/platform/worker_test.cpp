// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/testing/queued_ui_thread.h"

namespace zudorave::testing {
namespace {

using namespace std::chrono_literals;

TEST(CallOnUiThread, RunsThereAndWaitsYetNeverHoldsUpAThreadThatJoinsIt) {
  QueuedUiThread ui;
  std::atomic<int> ran{0};
  std::atomic<int> result{-1};
  auto callFromAWorker = [&] {
    return std::jthread([&](std::stop_token stop) {
      result = CallOnUiThread(
                   ui, [&] { ++ran; }, stop)
                   ? 1
                   : 0;
    });
  };
  {
    std::jthread worker = callFromAWorker();
    while (ui.Waiting() == 0) std::this_thread::yield();
    EXPECT_EQ(ran, 0);  // posted, waiting for the user-interface thread
    ui.RunPending();
  }
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(result, 1);

  // The user-interface thread joins a worker whose call it has not run: the worker gives up.
  {
    std::jthread worker = callFromAWorker();
    while (ui.Waiting() == 0) std::this_thread::yield();
  }
  EXPECT_EQ(result, 0);
  ui.RunPending();
  EXPECT_EQ(ran, 1);  // abandoned calls never run
}

TEST(SleepUnlessStopped, EndsAtOnceWhenStopped) {
  std::stop_source source;
  source.request_stop();
  EXPECT_FALSE(SleepUnlessStopped(std::chrono::hours(1), source.get_token()));
  EXPECT_TRUE(SleepUnlessStopped(1ms, std::stop_token()));
}

}  // namespace
}  // namespace zudorave::testing
