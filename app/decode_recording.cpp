// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/decode_recording.h"

#include <vector>

#include "receive/cw_decoder.h"

namespace zudorave {

namespace {

constexpr int LowestRate = 8000;
constexpr std::size_t BlockFrames = 4096;

int Fail(std::FILE* err, const std::string& path, const std::string& why) {
  std::fprintf(err, "zudorave: %s: %s\n", path.c_str(), why.c_str());
  return 1;
}

}  // namespace

int DecodeRecording(const std::string& path, SoundFiles& files, std::FILE* out, std::FILE* err) {
  const OpenedSoundFile opened = files.OpenToRead(path);
  if (!opened.reader) return Fail(err, path, opened.problem);
  SoundFileReader& reader = *opened.reader;
  if (reader.Rate() < LowestRate) {
    return Fail(err, path,
                "its " + std::to_string(reader.Rate()) + " samples a second are too few, " +
                    std::to_string(LowestRate) + " at least are needed");
  }

  CwDecoder decoder(reader.Rate());
  const auto channels = static_cast<std::size_t>(reader.Channels());
  std::vector<float> frames(BlockFrames * channels);
  std::vector<float> mono(BlockFrames);
  // A space waits for the word after it, so the text does not end in one.
  bool space = false;
  auto show = [&decoder, &space, out] {
    std::string text = decoder.TakeText();
    if (text.empty()) return;
    if (space) text.insert(text.begin(), ' ');
    space = text.back() == ' ';
    if (space) text.pop_back();
    std::fputs(text.c_str(), out);
  };
  while (const std::size_t read = reader.Read(frames)) {
    // The channels mixed down to one.
    for (std::size_t frame = 0; frame < read; ++frame) {
      float sum = 0;
      for (std::size_t c = 0; c < channels; ++c) sum += frames[frame * channels + c];
      mono[frame] = sum / static_cast<float>(channels);
    }
    decoder.Feed(std::span<const float>(mono.data(), read));
    show();
  }
  if (const std::string problem = reader.Problem(); !problem.empty()) {
    std::fputc('\n', out);
    return Fail(err, path, problem);
  }
  decoder.Flush();
  show();
  std::fputc('\n', out);
  return 0;
}

}  // namespace zudorave
