// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zudorave::testing {
namespace {

using Action = CommandLine::Action;
using Args = std::vector<std::string>;

// What a stream got, written through a FILE*.
class Captured {
 public:
  Captured() : file_(open_memstream(&data_, &size_)) {}
  ~Captured() {
    std::fclose(file_);
    std::free(data_);
  }
  std::FILE* File() { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

struct Case {
  Args args;
  std::optional<int> status;  // nothing: the program goes on
  Action action;
  std::string
      selected;      // "station", "out=NAME", "in=NAME", "decode=FILE", "qt=ARG" joined by blanks
  std::string says;  // on stdout for a status 0, on stderr for a status 2
};

std::string Selected(const CommandLine& line) {
  std::string selected;
  auto add = [&selected](const std::string& what) {
    selected += (selected.empty() ? "" : " ") + what;
  };
  if (line.showStation) add("station");
  if (!line.keepSettings) add("no-settings");
  if (!line.outputDevice.empty()) add("out=" + line.outputDevice);
  if (!line.inputDevice.empty()) add("in=" + line.inputDevice);
  if (!line.recording.empty()) add("decode=" + line.recording);
  if (const MorseFileRequest& morse = line.morseFile; !morse.path.empty()) {
    add("write=" + morse.path + "," + morse.text + morse.textFile + "," +
        std::to_string(morse.wpm) + "," + std::to_string(morse.toneHz) + "," +
        std::to_string(morse.spacingMs));
  }
  for (const std::string& arg : line.qtArguments) add("qt=" + arg);
  return selected;
}

TEST(CommandLine, WhatEachLineSelectsAndTheStatusItEndsWith) {
  const std::vector<Case> cases = {
      {{}, std::nullopt, Action::Run, "", ""},
      {{"--station", "--output-device", "USB Audio CODEC", "--input-device=USB mic"},
       std::nullopt,
       Action::Run,
       "station out=USB Audio CODEC in=USB mic",
       ""},
      // Qt's options, and their values, go to Qt untouched, in their order.
      {{"-platform", "offscreen", "--station", "-display", ":1", "--style=fusion", "-reverse"},
       std::nullopt,
       Action::Run,
       "station qt=-platform qt=offscreen qt=-display qt=:1 "
       "qt=--style=fusion qt=-reverse",
       ""},
      {{"--list-devices", "--output-device", "out"},
       std::nullopt,
       Action::ListDevices,
       "out=out",
       ""},
      // --decode goes on without a display, whatever device is named.
      {{"--list-devices", "--decode", "qso.wav", "--input-device=mic"},
       std::nullopt,
       Action::Decode,
       "in=mic decode=qso.wav",
       ""},
      {{"--decode"}, 2, Action::Mistake, "", "'--decode' needs a file name"},
      {{"--station", "--no-settings"}, std::nullopt, Action::Run, "station no-settings", ""},
      // The station's start-up speed and tone unless given.
      {{"--write-morse", "cq.WAV", "--text", "CQ DE K", "--spacing=40"},
       std::nullopt,
       Action::WriteMorse,
       "write=cq.WAV,CQ DE K,7,300,40",
       ""},
      {{"--write-morse=l.ogg", "--text-file", "l.txt", "--wpm", "25", "--pitch", "10"},
       std::nullopt,
       Action::WriteMorse,
       "write=l.ogg,l.txt,25,10,0",
       ""},
      {{"--write-morse", "a.wav", "--text", "K", "--text-file", "l.txt"},
       2,
       Action::Mistake,
       "write=a.wav,K,7,300,0",
       "give the text once"},
      {{"--write-morse", "a.wav", "--text", "K", "--pitch", "2001"},
       2,
       Action::Mistake,
       "write=a.wav,K,7,300,0",
       "'--pitch' needs a whole number from 10 to 2000"},
      {{"--write-morse", "a.wav", "--text", "K", "--wpm", "12x"},
       2,
       Action::Mistake,
       "write=a.wav,K,7,300,0",
       "'--wpm' needs a whole number"},
      {{"--decode", "a.wav", "--write-morse", "b.wav", "--text", "K"},
       2,
       Action::Mistake,
       "decode=a.wav write=b.wav,K,7,300,0",
       "either --decode or --write-morse"},
      // --help, then --version, win over anything, mistakes included.
      {{"--bogus", "stray", "--help"}, 0, Action::Help, "", "--output-device NAME"},
      {{"--version", "-h"}, 0, Action::Help, "", "Usage: zudorave"},
      {{"--list-devices", "--version", "--station=1"}, 0, Action::Version, "", "zudorave "},
      {{"--frobnicate", "--station"},
       2,
       Action::Mistake,
       "station",
       "zudorave: unknown option '--frobnicate'\nTry 'zudorave --help' for more information.\n"},
      {{"-h=1"}, 2, Action::Mistake, "", "option '-h' takes no value"},
      {{"stray"}, 2, Action::Mistake, "", "unexpected argument 'stray'"},
      {{"--output-device"}, 2, Action::Mistake, "", "'--output-device' needs a device name"},
      {{"--input-device="}, 2, Action::Mistake, "", "'--input-device' needs a device name"},
      // A forgotten name does not swallow the next option.
      {{"--output-device", "--station"}, 2, Action::Mistake, "station", "needs a device name"},
      {{"--station", "-platform"},
       2,
       Action::Mistake,
       "station qt=-platform",
       "'-platform' needs a value"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    SCOPED_TRACE("zudorave" + line);
    const CommandLine parsed = ParseCommandLine(c.args);
    Captured out;
    Captured err;
    EXPECT_EQ(Answer(parsed, out.File(), err.File()), c.status);
    EXPECT_EQ(parsed.action, c.action);
    EXPECT_EQ(Selected(parsed), c.selected);
    const std::string said = c.status == 2 ? err.Text() : out.Text();
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    EXPECT_EQ(c.status == 2 ? out.Text() : err.Text(), "");
  }
}

}  // namespace
}  // namespace zudorave::testing
