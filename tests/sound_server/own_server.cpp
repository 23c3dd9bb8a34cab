// SPDX-License-Identifier: GPL-3.0-or-later
#include "own_server.h"

#include <cstdio>
#include <cstdlib>

namespace zudorave::testing {

namespace {

std::optional<std::string> Get(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void Put(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

OwnServer::OwnServer()
    : sessionServer_(Get("PULSE_SERVER")), sessionDir_(Get("ZUDORAVE_SOUND_DIR")) {
  FILE* start = popen(ZUDORAVE_SCRIPTS_DIR "/sound-server.sh start", "r");
  if (!start) return;
  char line[512];
  std::string server;
  while (std::fgets(line, sizeof line, start)) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    const auto take = [&text](const std::string& prefix) {
      return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : std::string{};
    };
    if (const std::string dir = take("export ZUDORAVE_SOUND_DIR="); !dir.empty()) dir_ = dir;
    if (const std::string address = take("export PULSE_SERVER="); !address.empty()) {
      server = address;
    }
  }
  if (pclose(start) != 0 || dir_.empty() || server.empty()) {
    dir_.clear();
    return;
  }
  setenv("ZUDORAVE_SOUND_DIR", dir_.c_str(), 1);
  setenv("PULSE_SERVER", server.c_str(), 1);
}

OwnServer::~OwnServer() {
  if (Running()) Script("stop");
  Put("PULSE_SERVER", sessionServer_);
  Put("ZUDORAVE_SOUND_DIR", sessionDir_);
}

void OwnServer::Crash() { Script("crash"); }

void OwnServer::Revive() { Script("revive"); }

bool OwnServer::Script(const std::string& verb) {
  const std::string command = ZUDORAVE_SCRIPTS_DIR "/sound-server.sh " + verb + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace zudorave::testing
