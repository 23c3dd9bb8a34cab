// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound_server.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace zudorave::testing {

namespace {

// The recorder keeps its latency short so stopping it loses little; the player keeps a deep
// buffer so a busy machine does not starve it into gaps.
std::vector<std::string> Command(std::vector<std::string> head, int latencyMs) {
  for (const char* option : {"--format=s16le", "--rate=44100", "--channels=1"}) {
    head.emplace_back(option);
  }
  head.push_back("--latency-msec=" + std::to_string(latencyMs));
  return head;
}

}  // namespace

void SoundServerTest::SetUp() { RequireSoundServer(); }

void RequireSoundServer() {
  if (std::getenv("ZUDORAVE_SOUND_SERVER") != nullptr) return;
  if (std::getenv("CI") != nullptr) {
    FAIL() << "no private sound server: run under scripts/with-test-session.sh";
  }
  GTEST_SKIP() << "no private sound server: run under scripts/with-test-session.sh";
}

TempFile::TempFile() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zudorave-XXXXXX").string();
  const int fd = mkstemp(pattern.data());
  if (fd >= 0) close(fd);
  path_ = pattern;
}

TempFile::~TempFile() { std::filesystem::remove(path_); }

SinkRecorder::SinkRecorder(const std::string& source)
    : parec_(Command({"parec", "-d", source}, 10), ChildProcess::Stream::Out, file_.Path()) {}

bool SinkRecorder::WaitUntilRecording(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    if (std::filesystem::file_size(file_.Path(), error) > 0) return true;
    SleepMs(5);
  }
  return false;
}

std::vector<int16_t> SinkRecorder::SoFar() const {
  std::ifstream in(file_.Path(), std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

bool SinkRecorder::WaitUntilHeard(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::vector<int16_t> heard = SoFar();
    if (std::any_of(heard.begin(), heard.end(), [](int16_t s) { return s > 100 || s < -100; })) {
      return true;
    }
    SleepMs(5);
  }
  return false;
}

std::vector<int16_t> SinkRecorder::Stop() {
  parec_.Stop();
  return SoFar();
}

SourcePlayer::SourcePlayer(const std::vector<int16_t>& samples) {
  {
    std::ofstream out(file_.Path(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
  }
  pacat_ = std::make_unique<ChildProcess>(Command({"pacat", "-d", "in"}, 200),
                                          ChildProcess::Stream::In, file_.Path());
  // The start of a new stream reaches the monitor with a skip or two; wait until it is past.
  SleepMs(300);
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace zudorave::testing
