// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every periodic timer does, the real one and the double alike. A rig gives the timer as
// `timer`; WaitFor(condition) lets it tick until the condition holds (false when it never
// does), Let(periods) lets about that many periods of 20 ms go by.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/periodic_timer.h"

namespace zudorave::testing {

template <typename Rig>
class PeriodicTimerContract : public ::testing::Test {
 protected:
  static constexpr uint32_t PeriodMs = 20;

  // What the callbacks of one timer saw, from the timer's thread.
  struct Ticks {
    std::atomic<int> count{0};
    std::atomic<TimerId> id{0};
    std::atomic<uintptr_t> user{0};
    std::atomic<bool> odd{false};  // a message or reserved value other than 0
    TimerCallback Callback() {
      return [this](TimerId tick, uint32_t msg, uintptr_t value, uintptr_t dw1, uintptr_t dw2) {
        id = tick;
        user = value;
        if (msg != 0 || dw1 != 0 || dw2 != 0) odd = true;
        ++count;
      };
    }
  };

  Rig rig;
  PeriodicTimer& timer = rig.timer;
};
TYPED_TEST_SUITE_P(PeriodicTimerContract);

TYPED_TEST_P(PeriodicTimerContract, TicksWithItsOwnIdAndValueUntilKilled) {
  typename TestFixture::Ticks periodic;
  typename TestFixture::Ticks once;
  const uint32_t period = TestFixture::PeriodMs;
  const TimerId every = this->timer.SetEvent(period, 1, periodic.Callback(), 200, TIME_PERIODIC);
  const TimerId single = this->timer.SetEvent(period, 1, once.Callback(), 7, TIME_ONESHOT);
  ASSERT_NE(every, 0u);
  ASSERT_NE(single, 0u);
  EXPECT_NE(every, single);
  ASSERT_TRUE(this->rig.WaitFor([&] { return periodic.count >= 3 && once.count >= 1; }));
  this->rig.Let(3);
  EXPECT_EQ(once.count, 1);
  EXPECT_EQ(periodic.id, every);
  EXPECT_EQ(periodic.user, 200u);
  EXPECT_EQ(once.id, single);
  EXPECT_EQ(once.user, 7u);
  EXPECT_FALSE(periodic.odd || once.odd);
  EXPECT_EQ(this->timer.KillEvent(every), TIMERR_NOERROR);
  const int ticks = periodic.count;
  this->rig.Let(3);
  EXPECT_EQ(periodic.count, ticks);
  EXPECT_EQ(this->timer.KillEvent(every), TIMERR_NOCANDO);
  EXPECT_EQ(this->timer.KillEvent(single), TIMERR_NOCANDO);  // ended by itself
  EXPECT_EQ(this->timer.KillEvent(0), TIMERR_NOCANDO);
}

TYPED_TEST_P(PeriodicTimerContract, AKillFromItsOwnCallbackEndsItAfterThatTick) {
  std::atomic<int> ticks{0};
  PeriodicTimer& device = this->timer;
  const TimerId id = device.SetEvent(
      TestFixture::PeriodMs, 1,
      [&](TimerId self, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
        ++ticks;
        device.KillEvent(self);
      },
      0, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(this->rig.WaitFor([&] { return ticks >= 1; }));
  this->rig.Let(3);
  EXPECT_EQ(ticks, 1);
}

TYPED_TEST_P(PeriodicTimerContract, RefusesWhatItCannotRun) {
  typename TestFixture::Ticks ticks;
  EXPECT_EQ(this->timer.SetEvent(0, 1, ticks.Callback(), 0, TIME_PERIODIC), 0u);
  EXPECT_EQ(this->timer.SetEvent(20, 1, TimerCallback{}, 0, TIME_PERIODIC), 0u);
  EXPECT_EQ(this->timer.SetEvent(20, 1, ticks.Callback(), 0, 7), 0u);
}

REGISTER_TYPED_TEST_SUITE_P(PeriodicTimerContract, TicksWithItsOwnIdAndValueUntilKilled,
                            AKillFromItsOwnCallbackEndsItAfterThatTick, RefusesWhatItCannotRun);

}  // namespace zudorave::testing
