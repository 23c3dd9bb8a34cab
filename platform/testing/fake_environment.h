// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/environment.h"

namespace zudorave::testing {

class FakeEnvironment : public Environment {
 public:
  std::map<std::string, std::string> values;
  std::optional<std::string> Get(const std::string& name) const override {
    const auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

}  // namespace zudorave::testing
