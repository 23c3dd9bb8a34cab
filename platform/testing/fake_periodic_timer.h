// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A timer whose ticks the test fires by hand. It records every call and keeps the timer's rules
// (tests/contracts/periodic_timer_contract.h): a killed timer never ticks again, nor does a
// one-shot after its tick. failSetEvent makes SetEvent fail as the system can.
#include <map>
#include <string>
#include <vector>

#include "platform/periodic_timer.h"

namespace zudorave::testing {

class FakePeriodicTimer : public PeriodicTimer {
 public:
  struct Event {
    uint32_t delayMs;
    uint32_t resolutionMs;
    TimerCallback callback;
    uintptr_t user;
    uint32_t flags;
  };
  std::vector<std::string> calls;
  bool failSetEvent = false;

  uint32_t BeginPeriod(uint32_t ms) override {
    calls.push_back("BeginPeriod " + std::to_string(ms));
    return TIMERR_NOERROR;
  }
  uint32_t EndPeriod(uint32_t ms) override {
    calls.push_back("EndPeriod " + std::to_string(ms));
    return TIMERR_NOERROR;
  }
  TimerId SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback, uintptr_t user,
                   uint32_t flags) override {
    calls.push_back("SetEvent " + std::to_string(delayMs) + " " + std::to_string(resolutionMs) +
                    " user " + std::to_string(user) + " flags " + std::to_string(flags));
    if (failSetEvent || delayMs == 0 || !callback) return 0;
    if (flags != TIME_ONESHOT && flags != TIME_PERIODIC) return 0;
    const TimerId id = nextId_++;
    events_[id] = Event{delayMs, resolutionMs, std::move(callback), user, flags};
    return id;
  }
  uint32_t KillEvent(TimerId id) override {
    calls.push_back("KillEvent " + std::to_string(id));
    return events_.erase(id) == 1 ? TIMERR_NOERROR : TIMERR_NOCANDO;
  }

  // Ticks every running timer once, as its thread would; a one-shot timer then ends.
  void Tick() {
    std::vector<TimerId> ids;
    for (const auto& [id, event] : events_) ids.push_back(id);
    for (const TimerId id : ids) {
      const auto found = events_.find(id);
      if (found == events_.end()) continue;  // killed by an earlier callback
      const Event event = found->second;
      if (event.flags != TIME_PERIODIC) events_.erase(found);
      event.callback(id, 0, event.user, 0, 0);
    }
  }
  void Tick(int times) {
    for (int i = 0; i < times; ++i) Tick();
  }

  std::size_t Running() const { return events_.size(); }
  const Event* Find(TimerId id) const {
    const auto found = events_.find(id);
    return found == events_.end() ? nullptr : &found->second;
  }

 private:
  std::map<TimerId, Event> events_;
  TimerId nextId_ = 1;
};

}  // namespace zudorave::testing
