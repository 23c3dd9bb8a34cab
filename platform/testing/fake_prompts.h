// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prompts that show nothing: they record what would have been shown and give scripted answers.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace zudorave::testing {

class FakePrompts : public Prompts {
 public:
  struct Message {
    std::string text;
    std::string caption;
    uint32_t type;
  };
  std::vector<Message> messages;
  std::deque<int> answers;  // consumed one per message box; IDOK when empty
  std::vector<std::string> saveFilters;
  std::vector<uint32_t> saveFlags;
  std::optional<std::string> saveAnswer;
  int beeps = 0;

  int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
    messages.push_back({text, caption, type});
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> SaveFileName(const std::string& filter, uint32_t flags) override {
    saveFilters.push_back(filter);
    saveFlags.push_back(flags);
    return saveAnswer;
  }
  void Beep() override { ++beeps; }
};

}  // namespace zudorave::testing
