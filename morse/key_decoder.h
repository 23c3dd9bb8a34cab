// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns keyed elements back into text with the decode map: the elements of a character are
// spelt "P" (dot) and "L" (dash) and looked up when its gap comes; a word gap after decoded
// text adds the pause key's space. What it decodes is appended to the decoded text, then the
// ready flag is set, so a reader that takes the flag first sees the text.
// Threads: one decoding thread at a time (Begin where it does not run).
#include <atomic>
#include <cstdint>
#include <string>

#include "morse/guarded_text.h"
#include "morse/key_events.h"
#include "morse/morse_tables.h"

namespace zudorave {

class KeyDecoder {
 public:
  // No key is longer; more elements than this make a character without meaning.
  static constexpr std::size_t LongestKey = 8;

  // All three outlive the decoder; the map is read only.
  KeyDecoder(const MorseDecodeMap& map, GuardedText& text, std::atomic<uint8_t>& ready);

  // Forgets a character and a word left open.
  void Begin();
  void Take(KeyEvent event);

 private:
  void Show(const std::string& key);

  const MorseDecodeMap& map_;
  GuardedText& text_;
  std::atomic<uint8_t>& ready_;
  std::string key_;
  bool overlong_ = false;
  bool wordOpen_ = false;  // text shown since the last space
};

}  // namespace zudorave
