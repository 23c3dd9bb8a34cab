// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tests use of the private sound server that scripts/sound-server.sh runs: recording
// the sink the program plays into, and playing known samples into the default source.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace zudorave::testing {

// Skips the test outside the test session; fails it in CI, where a skip would hide a broken
// set-up. Call from a fixture's SetUp.
void RequireSoundServer();

class SoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// Temporary file removed when done.
class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Records a monitor source, 16-bit mono at 44100 Hz, from construction until Stop.
class SinkRecorder {
 public:
  explicit SinkRecorder(const std::string& source = "out.monitor");
  // True once samples arrive, so nothing played after it is missed.
  bool WaitUntilRecording(std::chrono::milliseconds timeout = std::chrono::seconds(3));
  // True once something louder than a whisper arrives.
  bool WaitUntilHeard(std::chrono::milliseconds timeout = std::chrono::seconds(3));
  // What arrived so far; the recording goes on.
  std::vector<int16_t> SoFar() const;
  std::vector<int16_t> Stop();

 private:
  TempFile file_;
  ChildProcess parec_;
};

// Plays samples into the "in" sink, whose monitor is the default source, until destroyed.
class SourcePlayer {
 public:
  explicit SourcePlayer(const std::vector<int16_t>& samples);

 private:
  TempFile file_;
  std::unique_ptr<ChildProcess> pacat_;
};

void SleepMs(int ms);

}  // namespace zudorave::testing
