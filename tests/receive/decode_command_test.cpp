// SPDX-License-Identifier: GPL-3.0-or-later
// zudorave --decode, the built program run on files written here.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "receive/testing/morse_signal.h"

namespace zudorave::testing {
namespace {

namespace fs = std::filesystem;

class DecodeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zudorave-decode-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Outcome Run(const std::string& file) { return RunProgram(dir_, {"--decode", file}); }

  fs::path dir_;
};

TEST_F(DecodeCommand, PrintsTheMorseOfAStereoRecording) {
  SignalRecipe recipe;
  recipe.sampleRate = 48000;
  recipe.wpm = 22;
  recipe.snrDb = 10;
  recipe.words = 8;
  recipe.seed = 3;
  const TestSignal signal = MakeSignal(recipe);
  std::vector<float> stereo;
  for (const float sample : signal.samples) stereo.insert(stereo.end(), {sample, sample});
  const fs::path file = dir_ / "morse.flac";
  SF_INFO info{};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
  ASSERT_NE(sound, nullptr) << sf_strerror(nullptr);
  sf_writef_float(sound, stereo.data(), static_cast<sf_count_t>(signal.samples.size()));
  sf_close(sound);

  const Outcome outcome = Run(file);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  ASSERT_FALSE(outcome.out.empty());
  EXPECT_EQ(outcome.out.back(), '\n');
  EXPECT_LE(CharacterErrorRate(outcome.out, signal.expected), 0.03) << outcome.out;
}

TEST_F(DecodeCommand, AFileThatDoesNotReadEndsWithStatus1AndSaysWhy) {
  const fs::path notSound = dir_ / "notes.wav";
  std::ofstream(notSound) << "not a sound\n";
  const std::vector<std::pair<fs::path, std::string>> cases = {
      {dir_ / "missing.wav", "No such file or directory"},
      {notSound, "ormat"},  // libsndfile: the file's format is not recognised
  };
  for (const auto& [file, why] : cases) {
    SCOPED_TRACE(file);
    const Outcome outcome = Run(file);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.find("zudorave: " + file.string() + ": "), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(why), std::string::npos) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1);
  }
}

}  // namespace
}  // namespace zudorave::testing
