// SPDX-License-Identifier: GPL-3.0-or-later
// The real periodic timer against its ideal schedule: at 48 ms and at 240 ms, each tick n is
// compared with start + n x period. Prints the median, 95th and 99th percentile and maximum of
// the deviation, the drift (the last 20 ticks' median deviation minus the first 20's, and a
// fitted slope), and the CPU the process used while it ticked.
//   ./build/bench/timer_bench [ticks]     (200 by default)
// Load the machine from another shell to see it under load.
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/thread_timer.h"

namespace zudorave {
namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

// The median of values[from, from + count).
double MedianOf(const std::vector<double>& values, std::size_t from, std::size_t count) {
  const auto first = values.begin() + static_cast<std::ptrdiff_t>(from);
  return Percentile(std::vector<double>(first, first + static_cast<std::ptrdiff_t>(count)), 0.5);
}

// Theil-Sen slope of the deviation over the tick number: the median of every pair's slope, so a
// tick or two held up by the scheduler does not pass for drift.
double Slope(const std::vector<double>& values) {
  std::vector<double> slopes;
  slopes.reserve(values.size() * (values.size() - 1) / 2);
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (std::size_t j = i + 1; j < values.size(); ++j) {
      slopes.push_back((values[j] - values[i]) / static_cast<double>(j - i));
    }
  }
  return Percentile(std::move(slopes), 0.5);
}

struct Run {
  std::vector<Clock::time_point> times;
  std::atomic<std::size_t> count{0};
  std::atomic<int> policy{-1};
};

bool Measure(PeriodicTimer& timer, uint32_t periodMs, std::size_t ticks) {
  Run run;
  run.times.resize(ticks);
  const double cpuBefore = CpuSeconds();
  // The timer takes its own start a few microseconds later, which biases every figure by as much.
  const Clock::time_point start = Clock::now();
  const TimerId id = timer.SetEvent(
      periodMs, 1,
      [&run, ticks](TimerId, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
        const Clock::time_point now = Clock::now();
        const std::size_t n = run.count.load(std::memory_order_relaxed);
        if (n >= ticks) return;
        if (n == 0) run.policy = sched_getscheduler(0);
        run.times[n] = now;
        run.count.store(n + 1, std::memory_order_release);
        run.count.notify_one();
      },
      0, TIME_PERIODIC);
  if (id == 0) {
    std::fprintf(stderr, "SetEvent failed\n");
    return false;
  }
  for (std::size_t seen = 0; seen < ticks; seen = run.count.load(std::memory_order_acquire)) {
    run.count.wait(seen, std::memory_order_acquire);
  }
  timer.KillEvent(id);
  const double cpu = CpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();

  // The timer drops a tick that is a whole period overdue, so each tick is measured against
  // the last slot due before it, and the slots that got no tick are counted as missed.
  std::vector<double> deviationUs(ticks);  // signed: a tick is late when positive
  std::vector<double> absoluteUs(ticks);
  const double periodUs = periodMs * 1000.0;
  int64_t previousSlot = 0;
  int64_t missed = 0;
  for (std::size_t i = 0; i < ticks; ++i) {
    const double sinceStartUs =
        std::chrono::duration<double, std::micro>(run.times[i] - start).count();
    const auto slot = std::max<int64_t>(1, static_cast<int64_t>(sinceStartUs / periodUs));
    missed += std::max<int64_t>(0, slot - previousSlot - 1);
    previousSlot = slot;
    deviationUs[i] = sinceStartUs - static_cast<double>(slot) * periodUs;
    absoluteUs[i] = std::abs(deviationUs[i]);
  }
  const std::size_t edge = std::min<std::size_t>(20, ticks / 2);
  const double median = Percentile(absoluteUs, 0.50) / 1000;
  const double p99 = Percentile(absoluteUs, 0.99) / 1000;
  const double drift = MedianOf(deviationUs, ticks - edge, edge) - MedianOf(deviationUs, 0, edge);
  const double slope = Slope(deviationUs);
  const int policy = run.policy.load();
  std::printf("period %3u ms, %zu ticks, thread %s\n", periodMs, ticks,
              policy == SCHED_FIFO ? "SCHED_FIFO"
              : policy == SCHED_RR ? "SCHED_RR"
                                   : "SCHED_OTHER");
  std::printf("  deviation  median %.3f ms  p95 %.3f ms  p99 %.3f ms  max %.3f ms\n", median,
              Percentile(absoluteUs, 0.95) / 1000, p99,
              *std::max_element(absoluteUs.begin(), absoluteUs.end()) / 1000);
  std::printf("  drift      median of last %zu minus first %zu %+.1f us, slope %+.3f us/tick\n",
              edge, edge, drift, slope);
  std::printf("  missed     %lld of %lld slots\n", static_cast<long long>(missed),
              static_cast<long long>(previousSlot));
  std::printf("  cpu        %.3f%% of one core\n", 100 * cpu / wall);
  const bool met = median <= 0.5 && p99 <= 2.0 && std::abs(slope) <= 1.0 && missed == 0;
  std::printf("  targets    median <= 0.5 ms, p99 <= 2 ms, |slope| <= 1 us/tick, none missed: %s\n",
              met ? "met" : "MISSED");
  return met;
}

}  // namespace
}  // namespace zudorave

int main(int argc, char** argv) {
  const long ticks = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 200;
  if (ticks < 2) {
    std::fprintf(stderr, "usage: %s [ticks >= 2]\n", argv[0]);
    return 2;
  }
  zudorave::ThreadTimer timer;
  bool met = true;
  for (const uint32_t period : {48u, 240u}) {
    met = zudorave::Measure(timer, period, static_cast<std::size_t>(ticks)) && met;
  }
  return met ? 0 : 1;
}
