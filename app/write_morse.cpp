// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/write_morse.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include "morse/text_keying.h"
#include "platform/audio_format.h"

namespace zudorave {

namespace {

int Fail(std::FILE* err, const std::string& path, const std::string& why) {
  std::fprintf(err, "zudorave: %s: %s\n", path.c_str(), why.c_str());
  return 1;
}

// False with errno when the file does not open or read to its end (a folder does not).
bool ReadWhole(const std::string& path, std::string& text) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) return false;
  text.clear();
  char block[65536];
  while (const std::size_t read = std::fread(block, 1, sizeof block, file.get())) {
    text.append(block, read);
  }
  return std::ferror(file.get()) == 0;
}

volatile std::sig_atomic_t EndingSignal = 0;

// While it lives, SIGINT, SIGTERM and SIGHUP end the write at the next block rather than the
// program, so the unfinished file is removed; one ignored at the start stays ignored.
class EndingSignals {
 public:
  EndingSignals() {
    EndingSignal = 0;
    struct sigaction ending {};
    ending.sa_handler = [](int signal) { EndingSignal = signal; };
    sigemptyset(&ending.sa_mask);
    for (std::size_t i = 0; i < Signals.size(); ++i) {
      sigaction(Signals[i], nullptr, &before_[i]);
      if (before_[i].sa_handler != SIG_IGN) sigaction(Signals[i], &ending, nullptr);
    }
  }
  ~EndingSignals() {
    for (std::size_t i = 0; i < Signals.size(); ++i) sigaction(Signals[i], &before_[i], nullptr);
  }
  EndingSignals(const EndingSignals&) = delete;
  EndingSignals& operator=(const EndingSignals&) = delete;

 private:
  static constexpr std::array<int, 3> Signals = {SIGINT, SIGTERM, SIGHUP};
  std::array<struct sigaction, 3> before_{};
};

bool IsBreak(char c) { return c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\v'; }

}  // namespace

std::string SendableText(const std::string& text) {
  std::string sendable;
  sendable.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsBreak(text[i])) {
      sendable += text[i];
      continue;
    }
    // The run of breaks and the blanks around it.
    while (!sendable.empty() && sendable.back() == ' ') sendable.pop_back();
    while (i + 1 < text.size() && (IsBreak(text[i + 1]) || text[i + 1] == ' ')) ++i;
    if (!sendable.empty()) sendable += ' ';
  }
  return sendable;
}

int WriteMorseFile(const MorseFileRequest& request, SoundFiles& files, std::FILE* err) {
  std::string text = request.text;
  if (!request.textFile.empty()) {
    if (!ReadWhole(request.textFile, text)) {
      return Fail(err, request.textFile, std::strerror(errno));
    }
  }
  text = SendableText(text);
  if (!HasKeyedTone(text)) {
    return Fail(err, request.path, "the text holds nothing to send in Morse");
  }

  const EndingSignals signals;
  CreatedSoundFile created = files.CreateToWrite(request.path, SampleRate);
  if (!created.writer) return Fail(err, request.path, created.problem);
  SoundFileWriter& writer = *created.writer;
  const TextKeying how{request.wpm, request.toneHz, request.spacingMs};
  const bool written = KeyText(text, how, [&writer](std::span<const int16_t> samples) {
    return EndingSignal == 0 && writer.Write(samples);
  });
  if (EndingSignal != 0) {
    return Fail(err, request.path, std::string("stopped by ") + strsignal(EndingSignal));
  }
  if (!written || !writer.Finish()) return Fail(err, request.path, writer.Problem());
  return 0;
}

}  // namespace zudorave
