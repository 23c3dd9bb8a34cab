#pragma once
#include <string>
#include <vector>

#include "platform/speaker.h"

namespace zudorave::testing {

class FakeSpeaker : public Speaker {
 public:
  std::vector<std::string> calls;
  void Beep(uint32_t frequency, uint32_t milliseconds) override {
    calls.push_back("Beep " + std::to_string(frequency) + " " + std::to_string(milliseconds));
  }
  void MessageBeep(uint32_t type) override {
    calls.push_back("MessageBeep " + std::to_string(type));
  }
};

}  // namespace zudorave::testing
