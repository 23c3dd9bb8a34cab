#include "platform/sndfile/sndfile_files.h"

#include <sndfile.h>

#include <sys/stat.h>
#include <cerrno>
#include <cstring>

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

}  // namespace

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
