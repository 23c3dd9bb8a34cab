// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the private server's sink monitor through parec and notes when sound arrives after
// being armed; it can also keep what it reads. For the benchmarks that time the way to the sink.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zudorave {

class SinkWatch {
 public:
  using Clock = std::chrono::steady_clock;

  SinkWatch()
      : pipe_(popen("exec parec -d out.monitor --format=s16le --rate=44100 --channels=1 "
                    "--latency-msec=5 2>/dev/null",
                    "r")),
        reader_([this] { Read(); }) {}
  ~SinkWatch() {
    stop_ = true;
    pclose(pipe_);  // ends parec, so the reader's read returns
    reader_.join();
  }
  SinkWatch(const SinkWatch&) = delete;
  SinkWatch& operator=(const SinkWatch&) = delete;

  void Arm() {
    arrived_.store(Clock::time_point{});
    armed_.store(true);
  }
  // True once a whole quiet stretch passed with no sound arriving.
  bool AwaitSilence(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      Arm();
      if (!Await(quiet)) return true;
    }
    return false;
  }
  // When the first sound after Arm arrived, or nothing within the timeout.
  std::optional<Clock::time_point> Await(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (armed_.load() && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (armed_.load()) return std::nullopt;
    return arrived_.load();
  }

  // Keeps every sample read from now until Take.
  void Keep() {
    std::lock_guard lock(mutex_);
    kept_.clear();
    keeping_ = true;
  }
  std::vector<int16_t> Take() {
    std::lock_guard lock(mutex_);
    keeping_ = false;
    return std::move(kept_);
  }

 private:
  void Read() {
    int16_t chunk[2048];
    const int fd = fileno(pipe_);
    while (!stop_) {
      const ssize_t bytes = read(fd, chunk, sizeof chunk);
      if (bytes <= 0) return;
      const auto now = Clock::now();
      const int16_t* begin = chunk;
      const int16_t* end = chunk + bytes / 2;
      const bool sound = std::any_of(begin, end, [](int16_t s) { return s != 0; });
      if (sound && armed_.load()) {
        arrived_.store(now);
        armed_.store(false);
      }
      std::lock_guard lock(mutex_);
      if (keeping_) kept_.insert(kept_.end(), begin, end);
    }
  }

  FILE* pipe_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> armed_{false};
  std::atomic<Clock::time_point> arrived_{};
  std::mutex mutex_;
  bool keeping_ = false;
  std::vector<int16_t> kept_;
  std::thread reader_;
};

}  // namespace zudorave
