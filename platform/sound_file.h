#pragma once
// Sound files read as frames of float samples, every channel of a frame side by side, full
// scale 1. Threads: each open file on one thread at a time.
#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace zudorave {

class SoundFileReader {
 public:
  virtual ~SoundFileReader() = default;
  virtual int Rate() const = 0;
  virtual int Channels() const = 0;
  // Fills out with whole frames (its size a multiple of Channels()); gives the frames read,
  // 0 at the end or when the file no longer reads (Problem says why).
  virtual std::size_t Read(std::span<float> out) = 0;
  // Why the file stopped reading before its end; empty when it did not.
  virtual std::string Problem() const = 0;
};

struct OpenedSoundFile {
  std::unique_ptr<SoundFileReader> reader;  // null when it did not open
  std::string problem;                      // why not, when it did not
};

class SoundFiles {
 public:
  virtual ~SoundFiles() = default;
  virtual OpenedSoundFile OpenToRead(const std::string& path) = 0;
};

}  // namespace zudorave
