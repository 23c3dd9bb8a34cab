// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the sound benchmarks share: other programs keeping every core busy, the CPU time the
// host takes from this virtual machine, percentiles, and a recording of the sink that a busy
// machine cannot cut short.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/sound_server/child_process.h"

namespace zudorave {

// A process spinning on every core until destroyed, each in a session of its own as another
// program would be: with the kernel's autogroups, spinning threads of our own would share the
// audio thread's group and measure how we starve ourselves instead.
class BusyCores {
 public:
  explicit BusyCores(bool busy) {
    const unsigned cores = busy ? std::max(1u, std::thread::hardware_concurrency()) : 0;
    for (unsigned i = 0; i < cores; ++i) {
      const pid_t pid = fork();
      if (pid == 0) {
        setsid();
        volatile uint64_t work = 0;
        for (;;) work = work + 1;
      }
      if (pid > 0) spinners_.push_back(pid);
    }
  }
  ~BusyCores() {
    for (const pid_t pid : spinners_) kill(pid, SIGKILL);
    for (const pid_t pid : spinners_) waitpid(pid, nullptr, 0);
  }

 private:
  std::vector<pid_t> spinners_;
};

// CPU time the hypervisor has taken from this machine since it booted, all CPUs together.
inline double StolenMs() {
  std::ifstream stat("/proc/stat");
  std::string cpu;
  uint64_t user, nice, system, idle, iowait, irq, softirq, steal = 0;
  stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
  return static_cast<double>(steal) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

// Records the sink's monitor into a file with a deep buffer, so that a busy machine costs the
// recording nothing: what it holds is what the sink played.
class DeepRecorder {
 public:
  DeepRecorder() {
    char pattern[] = "/tmp/zudorave-sink-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    path_ = pattern;
    parec_.emplace(std::vector<std::string>{"parec", "-d", "out.monitor", "--format=s16le",
                                            "--rate=44100", "--channels=1", "--latency-msec=200"},
                   testing::ChildProcess::Stream::Out, path_);
  }
  ~DeepRecorder() { std::remove(path_.c_str()); }
  std::vector<int16_t> Stop() {
    parec_.reset();
    std::ifstream in(path_, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

 private:
  std::string path_;
  std::optional<testing::ChildProcess> parec_;
};

}  // namespace zudorave
