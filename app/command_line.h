// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line, read before anything else starts. Our options are taken out;
// Qt's own (-platform, -display, -style and the rest) are handed on to QApplication as given.
// Plain C++, no state: any thread.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/write_morse.h"

namespace zudorave {

struct CommandLine {
  enum class Action { Run, Help, Version, ListDevices, Decode, WriteMorse, Mistake };
  Action action = Action::Run;
  bool showStation = false;
  bool keepSettings = true;  // false with --no-settings
  std::string outputDevice;  // SDL's name of the device; empty for the system's default
  std::string inputDevice;
  std::string recording;                 // the file to decode
  MorseFileRequest morseFile;            // the file to write, its path empty when none
  std::string mistake;                   // what is wrong, when the action is Mistake
  std::vector<std::string> qtArguments;  // Qt's options with their values, in their order
};

// args are the arguments after the program's name. --help, then --version, win over anything
// else given, mistakes included; then a mistake; then --decode or --write-morse; then
// --list-devices.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Answers --help and --version on out and a mistake on err, and gives the status to end with:
// 0, or 2 for a mistake. Nothing when the program goes on (to run, to list the devices, to
// decode or to write Morse).
std::optional<int> Answer(const CommandLine& line, std::FILE* out, std::FILE* err);

}  // namespace zudorave
