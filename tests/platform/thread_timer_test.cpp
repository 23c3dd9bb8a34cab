// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/thread_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "tests/contracts/periodic_timer_contract.h"

namespace zudorave {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls until the condition holds or ten seconds pass; a loaded machine may be slow.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = Clock::now() + 10s;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Counts ticks and notes any that arrive once the owner said the timer is gone. The callback
// lingers, so a kill that does not wait for it is caught in the act.
struct Watch {
  std::atomic<int> ticks{0};
  std::atomic<bool> gone{false};
  std::atomic<int> ticksWhenGone{0};

  TimerCallback Callback() {
    return [this](TimerId, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
      if (gone.load()) ++ticksWhenGone;
      ++ticks;
      std::this_thread::sleep_for(200us);
      if (gone.load()) ++ticksWhenGone;
    };
  }
};

TEST(ThreadTimer, SetEventRefusesWhatItCannotRun) {
  struct Case {
    const char* what;
    uint32_t delayMs;
    bool withCallback;
    uint32_t flags;
  };
  const Case cases[] = {
      {"zero period", 0, true, TIME_PERIODIC},
      {"zero delay", 0, true, TIME_ONESHOT},
      {"no callback", 1, false, TIME_PERIODIC},
      {"unknown flags", 1, true, 0x100},
  };
  ThreadTimer timer;
  Watch watch;
  for (const Case& c : cases) {
    const TimerCallback callback = c.withCallback ? watch.Callback() : TimerCallback{};
    EXPECT_EQ(timer.SetEvent(c.delayMs, 0, callback, 0, c.flags), 0u) << c.what;
  }
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(watch.ticks.load(), 0);
}

// Many start/kill rounds, killed at varying moments: once KillEvent returns no callback runs,
// and the state the callback touched may go at once.
TEST(ThreadTimer, NoTickAfterKillEventReturns) {
  ThreadTimer timer;
  for (const uint32_t flags : {TIME_PERIODIC, TIME_ONESHOT}) {
    for (int round = 0; round < 150; ++round) {
      auto watch = std::make_unique<Watch>();
      const TimerId id = timer.SetEvent(1, 0, watch->Callback(), 0, flags);
      ASSERT_NE(id, 0u);
      std::this_thread::sleep_for(std::chrono::microseconds(round % 7 * 400));
      timer.KillEvent(id);  // a one-shot that already ended answers TIMERR_NOCANDO
      watch->gone = true;
      std::this_thread::sleep_for(std::chrono::microseconds(round % 3 * 500));
      ASSERT_EQ(watch->ticksWhenGone.load(), 0) << "flags " << flags << " round " << round;
      watch.reset();
    }
  }
}

// The callback kills its own timer and starts the next one-shot, as a re-arming caller does.
TEST(ThreadTimer, KillFromTheOwnCallbackEndsAfterThatTick) {
  ThreadTimer timer;
  std::atomic<TimerId> id{0};
  std::atomic<int> ticks{0};
  std::atomic<int> followUps{0};
  std::optional<uint32_t> killed;
  std::atomic<bool> done{false};
  id = timer.SetEvent(
      1, 0,
      [&](TimerId self, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
        if (++ticks != 3) return;
        killed = timer.KillEvent(self);
        timer.SetEvent(
            1, 0, [&](TimerId, uint32_t, uintptr_t, uintptr_t, uintptr_t) { ++followUps; }, 0,
            TIME_ONESHOT);
        done = true;
      },
      0, TIME_PERIODIC);
  ASSERT_NE(id.load(), 0u);
  ASSERT_TRUE(Eventually([&] { return done.load() && followUps.load() == 1; }));
  EXPECT_EQ(killed, TIMERR_NOERROR);
  EXPECT_EQ(timer.KillEvent(id), TIMERR_NOCANDO);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(ticks.load(), 3);
  EXPECT_EQ(followUps.load(), 1);
}

// Each timer runs at its own delay, not its resolution nor another timer's period; a one-shot
// ticks once. Ticks are never early, so no timer ticks more than the elapsed time allows.
TEST(ThreadTimer, EachTimerTicksAtItsOwnDelay) {
  ThreadTimer timer;
  Watch fast, slow, once;
  const auto start = Clock::now();
  ASSERT_NE(timer.SetEvent(2, 200, fast.Callback(), 0, TIME_PERIODIC), 0u);
  ASSERT_NE(timer.SetEvent(200, 2, slow.Callback(), 0, TIME_PERIODIC), 0u);
  ASSERT_NE(timer.SetEvent(2, 2, once.Callback(), 0, TIME_ONESHOT), 0u);
  ASSERT_TRUE(Eventually([&] { return fast.ticks.load() >= 50 && once.ticks.load() == 1; }));
  const int slowTicks = slow.ticks.load();
  const int fastTicks = fast.ticks.load();
  const auto elapsed = Clock::now() - start;
  EXPECT_LE(slowTicks, elapsed / 200ms);
  EXPECT_LE(fastTicks, elapsed / 2ms);
  EXPECT_EQ(once.ticks.load(), 1);
}

// The destructor stops every timer, whether running, far from due, killed from its own
// callback, or a one-shot that has ended, and returns without waiting for the far one.
TEST(ThreadTimer, DestructionStopsEveryTimer) {
  Watch running, farOff, selfKilled, ended;
  {
    ThreadTimer timer;
    ASSERT_NE(timer.SetEvent(1, 0, running.Callback(), 0, TIME_PERIODIC), 0u);
    ASSERT_NE(timer.SetEvent(3'600'000, 0, farOff.Callback(), 0, TIME_ONESHOT), 0u);
    ASSERT_NE(timer.SetEvent(1, 0, ended.Callback(), 0, TIME_ONESHOT), 0u);
    ASSERT_NE(timer.SetEvent(
                  1, 0,
                  [&](TimerId self, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
                    timer.KillEvent(self);
                    ++selfKilled.ticks;
                  },
                  0, TIME_PERIODIC),
              0u);
    ASSERT_TRUE(Eventually([&] {
      return running.ticks.load() > 0 && selfKilled.ticks.load() == 1 && ended.ticks.load() == 1;
    }));
  }
  running.gone = true;
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(running.ticksWhenGone.load(), 0);
  EXPECT_EQ(farOff.ticks.load(), 0);
  EXPECT_EQ(selfKilled.ticks.load(), 1);
}

// The contract the double keeps too.
struct RealTimer {
  ThreadTimer timer;
  bool WaitFor(const std::function<bool()>& condition) { return Eventually(condition); }
  void Let(int periods) { std::this_thread::sleep_for(periods * 20ms); }
};
}  // namespace

namespace testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Device, PeriodicTimerContract, RealTimer);
}  // namespace testing

}  // namespace zudorave
