// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/key_decoder.h"

namespace zudorave {

namespace {
constexpr char PauseKey[] = "p";
}  // namespace

KeyDecoder::KeyDecoder(const MorseDecodeMap& map, GuardedText& text, std::atomic<uint8_t>& ready)
    : map_(map), text_(text), ready_(ready) {
  key_.reserve(LongestKey);
}

void KeyDecoder::Begin() {
  key_.clear();
  overlong_ = false;
  wordOpen_ = false;
}

void KeyDecoder::Take(KeyEvent event) {
  switch (event) {
    case KeyEvent::Dot:
    case KeyEvent::Dash:
      if (key_.size() == LongestKey) {
        overlong_ = true;
      } else {
        key_ += event == KeyEvent::Dot ? 'P' : 'L';
      }
      break;
    case KeyEvent::CharacterGap:
      if (!key_.empty() && !overlong_) Show(key_);
      key_.clear();
      overlong_ = false;
      break;
    case KeyEvent::WordGap:
      if (wordOpen_) Show(PauseKey);
      wordOpen_ = false;
      break;
  }
}

void KeyDecoder::Show(const std::string& key) {
  // A code without a character shows nothing.
  const auto found = map_.find(key);
  if (found == map_.end() || found->second.empty()) return;
  text_.Append(found->second);
  ready_ = 1;
  wordOpen_ = key != PauseKey;
}

}  // namespace zudorave
