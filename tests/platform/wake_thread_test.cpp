// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wake_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zudorave {
namespace {

using namespace std::chrono_literals;

// Polls until the condition holds or two seconds pass.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(WakeThread, RunsTheJobOnlyWhenWoken) {
  std::atomic<int> runs{0};
  WakeThread thread([&] { ++runs; });
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(runs.load(), 0);
  thread.Wake();
  EXPECT_TRUE(Eventually([&] { return runs.load() == 1; }));
  thread.Wake();
  EXPECT_TRUE(Eventually([&] { return runs.load() == 2; }));
}

TEST(WakeThread, NoWakeIsLostWhenWakesComeFasterThanTheJob) {
  std::atomic<int> published{0};
  std::atomic<int> seen{0};
  std::atomic<int> runs{0};
  WakeThread thread([&] {
    seen = published.load();
    ++runs;
    std::this_thread::sleep_for(1ms);
  });
  std::thread waker([&] {
    for (int i = 1; i <= 200; ++i) {
      published = i;
      thread.Wake();
    }
  });
  waker.join();
  EXPECT_TRUE(Eventually([&] { return seen.load() == 200; }));
  EXPECT_LT(runs.load(), 200);  // wakes during a run fold into one more run
}

TEST(WakeThread, DestructionJoinsWhetherOrNotItWasWoken) {
  std::atomic<int> runs{0};
  {
    WakeThread idle([&] { ++runs; });
  }
  {
    WakeThread woken([&] { ++runs; });
    woken.Wake();
  }
  EXPECT_LE(runs.load(), 1);  // a wake racing the destructor may or may not run
}

}  // namespace
}  // namespace zudorave
