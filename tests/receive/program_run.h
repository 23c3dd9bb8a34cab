// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built program as a command, without a display and without a sound server, its
// streams caught in files of a folder the caller owns.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zudorave::testing {

struct Outcome {
  int status = -1;
  std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string Quoted(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline Outcome RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& args) {
  const std::filesystem::path out = dir / "out.txt", err = dir / "err.txt";
  std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY PULSE_SERVER=/nonexistent '" ZUDORAVE_PROGRAM "'";
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

}  // namespace zudorave::testing
