// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A helper program (parec, pacat) run beside a test, with one standard stream on a file.
// The destructor ends it and waits for it.
#include <sys/types.h>
#include <string>
#include <vector>

namespace zudorave::testing {

class ChildProcess {
 public:
  enum class Stream { In, Out };
  // Starts args[0] from PATH with the given stream on path; Running() says whether it did.
  ChildProcess(const std::vector<std::string>& args, Stream stream, const std::string& path);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running() const { return pid_ > 0; }
  // Asks it to finish (SIGTERM) and waits; returns its exit status, or -1.
  int Stop();

 private:
  pid_t pid_ = -1;
};

}  // namespace zudorave::testing
