// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound files read as frames of float samples, every channel of a frame side by side, full
// scale 1, and written as 16-bit mono. Threads: each open file on one thread at a time.
#include <cstddef>
#include <cstdint>
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

// A file being written under a name of its own beside the one asked for; only Finish puts it
// under that name, so a failed or abandoned write never leaves a part of a file there.
class SoundFileWriter {
 public:
  // Without a successful Finish, removes what it wrote.
  virtual ~SoundFileWriter() = default;
  // Appends samples; false when they could not be written (Problem says why).
  virtual bool Write(std::span<const int16_t> samples) = 0;
  // Completes the file, puts it on disk and under the name asked for; false when it could not.
  virtual bool Finish() = 0;
  virtual std::string Problem() const = 0;
};

struct CreatedSoundFile {
  std::unique_ptr<SoundFileWriter> writer;  // null when it could not be created
  std::string problem;                      // why not, when it could not
};

class SoundFiles {
 public:
  virtual ~SoundFiles() = default;
  virtual OpenedSoundFile OpenToRead(const std::string& path) = 0;
  // A mono file at rate samples a second, its format by the name's ending: .wav, .flac, or
  // .ogg / .oga (Vorbis).
  virtual CreatedSoundFile CreateToWrite(const std::string& path, int rate) = 0;
};

// What follows the last dot of the file's name, in lower case; empty without one.
std::string SoundFileEnding(const std::string& path);
// Whether CreateToWrite knows the format of a file with this name.
bool KnownSoundFileEnding(const std::string& path);

}  // namespace zudorave
