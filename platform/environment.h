// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process environment, read through an interface so tests can set "OS" as they please.
#include <cstdlib>
#include <optional>
#include <string>

namespace zudorave {

class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or nothing when it is not set.
  virtual std::optional<std::string> Get(const std::string& name) const = 0;
};

class ProcessEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }
};

}  // namespace zudorave
