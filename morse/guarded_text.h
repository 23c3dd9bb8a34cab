// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text that one thread writes and another reads, behind a lock.
#include <mutex>
#include <string>
#include <string_view>

namespace zudorave {

class GuardedText {
 public:
  std::string Get() const {
    std::lock_guard lock(mutex_);
    return text_;
  }
  void Set(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
  }
  void Append(char c) {
    std::lock_guard lock(mutex_);
    text_ += c;
  }
  void Append(std::string_view more) {
    std::lock_guard lock(mutex_);
    text_ += more;
  }
  void Clear() { Set({}); }

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

}  // namespace zudorave
