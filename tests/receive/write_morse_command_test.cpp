// SPDX-License-Identifier: GPL-3.0-or-later
// zudorave --write-morse, the built program run here, read back by zudorave --decode.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "program_run.h"

namespace zudorave::testing {
namespace {

namespace fs = std::filesystem;

class WriteMorseCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zudorave-write-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "files");
  }
  void TearDown() override { fs::remove_all(dir_); }

  Outcome Run(const std::vector<std::string>& args) { return RunProgram(dir_, args); }

  // The names in the folder the files are written to.
  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "files")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(WriteMorseCommand, WhatItWritesDecodeReadsBackAsTheText) {
  std::ofstream(dir_ / "lesson.txt") << "cq cq de dl1abc\r\n\r\n  pse k\n";
  struct Case {
    std::string name;
    std::vector<std::string> options;
    std::string decoded;
  };
  const std::vector<Case> cases = {
      {"cq.wav",
       {"--text", "CQ CQ DE DL1ABC K", "--wpm", "20", "--pitch", "700"},
       "CQ CQ DE DL1ABC K"},
      {"lesson.flac",
       {"--text-file", (dir_ / "lesson.txt").string(), "--wpm=12", "--spacing=100"},
       "CQ CQ DE DL1ABC PSE K"},
      {"Test.OGG", {"--text", "73 TU"}, "73 TU"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = dir_ / "files" / c.name;
    std::vector<std::string> args{"--write-morse", file.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome written = Run(args);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out + written.err, "");
    const Outcome decoded = Run({"--decode", file.string()});
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    // Morse has no case.
    std::string heard = decoded.out;
    for (char& ch : heard) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(heard, c.decoded + "\n");
  }
  // Nothing but the files asked for.
  EXPECT_EQ(Files(), (std::vector<std::string>{"Test.OGG", "cq.wav", "lesson.flac"}));
}

TEST_F(WriteMorseCommand, AFailureSaysWhyOnOneLineAndLeavesNoFile) {
  const std::string file = (dir_ / "files" / "out.wav").string();
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"--write-morse", file, "--text", "#~ ^"}, 1, "nothing to send"},
      {{"--write-morse", (dir_ / "missing" / "out.wav").string(), "--text", "K"},
       1,
       "No such file or directory"},
      {{"--write-morse", file, "--text-file", (dir_ / "missing.txt").string()},
       1,
       "No such file or directory"},
      {{"--write-morse", file, "--text-file", dir_.string()}, 1, "Is a directory"},
      {{"--write-morse", file, "--text", "K", "--wpm", "40"}, 2, "from 5 to 25"},
      {{"--write-morse", (dir_ / "files" / "out.mp3").string(), "--text", "K"}, 2, ".wav"},
      {{"--write-morse", file}, 2, "needs a text"},
      {{"--text", "K"}, 2, "goes with --write-morse"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.find("zudorave: "), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    // A mistake in the options adds the hint to --help on a line of its own.
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), c.status == 2 ? 2 : 1);
    EXPECT_EQ(Files(), std::vector<std::string>{});
  }
}

TEST_F(WriteMorseCommand, ASignalMeanwhileEndsItWithoutLeavingAnything) {
  // Hours of Morse at 5 words a minute: still being written when the signal comes.
  std::ofstream text(dir_ / "long.txt");
  for (int i = 0; i < 3000; ++i) text << "PARIS ";
  text.close();
  const fs::path err = dir_ / "err.txt";
  const std::string command =
      "'" ZUDORAVE_PROGRAM "' --write-morse '" + (dir_ / "files" / "long.ogg").string() +
      "' --text-file '" + (dir_ / "long.txt").string() + "' --wpm 5 2>'" + err.string() +
      "' & for i in $(seq 200); do [ -n \"$(ls -A '" + (dir_ / "files").string() +
      "')\" ] && break; sleep 0.05; done; kill -TERM $!; wait $!";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  const std::string said = Slurp(err);
  EXPECT_NE(said.find("stopped by Terminated"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
  EXPECT_EQ(Files(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zudorave::testing
