// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sndfile/sndfile_files.h"

#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

namespace zudorave {

namespace {

class SndfileReader : public SoundFileReader {
 public:
  SndfileReader(SNDFILE* file, const SF_INFO& info) : file_(file), info_(info) {}
  ~SndfileReader() override { sf_close(file_); }
  SndfileReader(const SndfileReader&) = delete;
  SndfileReader& operator=(const SndfileReader&) = delete;

  int Rate() const override { return info_.samplerate; }
  int Channels() const override { return info_.channels; }

  std::size_t Read(std::span<float> out) override {
    const auto frames =
        static_cast<sf_count_t>(out.size() / static_cast<std::size_t>(info_.channels));
    const sf_count_t read = sf_readf_float(file_, out.data(), frames);
    if (read < frames && sf_error(file_) != SF_ERR_NO_ERROR) problem_ = sf_strerror(file_);
    return read > 0 ? static_cast<std::size_t>(read) : 0;
  }

  std::string Problem() const override { return problem_; }

 private:
  SNDFILE* file_;
  SF_INFO info_;
  std::string problem_;
};

// Writes to a file beside the one asked for and renames it at the end: a crash, a full disk or
// a failed write leaves nothing under the name asked for, and whatever was there stays whole
// until the new file is complete.
class SndfileWriter : public SoundFileWriter {
 public:
  SndfileWriter(SNDFILE* file, int fd, std::string temporary, std::string path)
      : file_(file), fd_(fd), temporary_(std::move(temporary)), path_(std::move(path)) {}
  ~SndfileWriter() override {
    if (file_ != nullptr) sf_close(file_);
    if (fd_ >= 0) close(fd_);
    if (!finished_) unlink(temporary_.c_str());
  }
  SndfileWriter(const SndfileWriter&) = delete;
  SndfileWriter& operator=(const SndfileWriter&) = delete;

  bool Write(std::span<const int16_t> samples) override {
    if (file_ == nullptr || !problem_.empty()) return false;
    const auto count = static_cast<sf_count_t>(samples.size());
    if (sf_write_short(file_, samples.data(), count) != count) {
      problem_ = sf_strerror(file_);
      return false;
    }
    return true;
  }

  bool Finish() override {
    if (file_ == nullptr || !problem_.empty()) return false;
    // The last blocks (and a compressed format's tail) reach the file only as it closes.
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) return Fail(sf_error_number(closed));
    if (fsync(fd_) != 0) return Fail(std::strerror(errno));
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return Fail(std::strerror(errno));
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail(std::strerror(errno));
    finished_ = true;
    return true;
  }

  std::string Problem() const override { return problem_; }

 private:
  bool Fail(std::string why) {
    problem_ = std::move(why);
    return false;
  }

  SNDFILE* file_;
  int fd_;
  std::string temporary_;
  std::string path_;
  std::string problem_;
  bool finished_ = false;
};

int FormatOf(const std::string& path) {
  const std::string ending = SoundFileEnding(path);
  if (ending == "wav") return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  if (ending == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  if (ending == "ogg" || ending == "oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  return 0;
}

// A new file of a name no other file has, beside path, created with the permissions a new file
// gets; -1 with errno when none could be made.
int CreateBeside(const std::string& path, std::string& temporary) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder + "." + name + "." + std::to_string(random() % 1000000) + ".part";
    const int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

CreatedSoundFile SndfileFiles::CreateToWrite(const std::string& path, int rate) {
  CreatedSoundFile created;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = FormatOf(path);
  if (info.format == 0 || sf_format_check(&info) == SF_FALSE) {
    created.problem = "its name ends neither in .wav, .flac nor .ogg";
    return created;
  }
  std::string temporary;
  const int fd = CreateBeside(path, temporary);
  if (fd < 0) {
    created.problem = std::strerror(errno);
    return created;
  }
  SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
  if (file == nullptr) {
    created.problem = sf_strerror(nullptr);
    close(fd);
    unlink(temporary.c_str());
    return created;
  }
  created.writer = std::make_unique<SndfileWriter>(file, fd, std::move(temporary), path);
  return created;
}

OpenedSoundFile SndfileFiles::OpenToRead(const std::string& path) {
  OpenedSoundFile opened;
  // libsndfile says only that it cannot read a file that is not there; the system says why.
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    opened.problem = std::strerror(errno);
    return opened;
  }
  if (S_ISDIR(status.st_mode)) {
    opened.problem = std::strerror(EISDIR);
    return opened;
  }
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    opened.problem = sf_strerror(nullptr);
    return opened;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    opened.problem = "it holds no sound";
    return opened;
  }
  // Integer samples read as floats in -1..1, whatever the file's own format.
  sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  opened.reader = std::make_unique<SndfileReader>(file, info);
  return opened;
}

}  // namespace zudorave
