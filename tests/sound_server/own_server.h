// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A private sound server of one test's own, which the test may crash and start again where it
// was, without disturbing the session's server that the other tests share. While it lives, this
// process (and what it starts) talks to it.
#include <optional>
#include <string>

namespace zudorave::testing {

class OwnServer {
 public:
  OwnServer();
  ~OwnServer();
  OwnServer(const OwnServer&) = delete;
  OwnServer& operator=(const OwnServer&) = delete;

  bool Running() const { return !dir_.empty(); }
  // Kills the server outright (SIGKILL), as a crash ends it.
  void Crash();
  // Starts it again on the same address with the same sinks.
  void Revive();

 private:
  bool Script(const std::string& verb);

  std::string dir_;
  std::optional<std::string> sessionServer_;
  std::optional<std::string> sessionDir_;
};

}  // namespace zudorave::testing
