#include "sound_server.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace zudorave::testing {

namespace {

const std::vector<std::string> StreamFormat = {"--format=s16le", "--rate=44100", "--channels=1",
                                               "--latency-msec=10"};

std::vector<std::string> Command(std::vector<std::string> head) {
  head.insert(head.end(), StreamFormat.begin(), StreamFormat.end());
  return head;
}

}  // namespace

void SoundServerTest::SetUp() {
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
    : parec_(Command({"parec", "-d", source}), ChildProcess::Stream::Out, file_.Path()) {}

bool SinkRecorder::WaitUntilRecording(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    if (std::filesystem::file_size(file_.Path(), error) > 0) return true;
    SleepMs(5);
  }
  return false;
}

std::vector<int16_t> SinkRecorder::Stop() {
  parec_.Stop();
  std::ifstream in(file_.Path(), std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

SourcePlayer::SourcePlayer(const std::vector<int16_t>& samples) {
  {
    std::ofstream out(file_.Path(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
  }
  pacat_ = std::make_unique<ChildProcess>(Command({"pacat", "-d", "in"}), ChildProcess::Stream::In,
                                          file_.Path());
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace zudorave::testing
