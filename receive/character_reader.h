// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns marks and spaces into text: each mark a dot or a dash by the timing model, a
// character looked up in the decode map once the space after it is a character gap, a word
// gap one space. A key the map does not know is mended where one doubtful decision makes it a
// character (a mark near the dot-dash threshold, or two characters run together); otherwise
// it gives nothing. Threads: one at a time.
#include <array>
#include <cstddef>
#include <string>

#include "morse/morse_tables.h"
#include "receive/key_detector.h"
#include "receive/timing_model.h"

namespace zudorave {

class CharacterReader : public RunSink {
 public:
  static constexpr std::size_t LongestKey = 12;

  // All three outlive the reader; the map is read only, text gets what is read.
  CharacterReader(const MorseDecodeMap& map, TimingModel& timing, std::string& text);

  void OnRun(const ToneRun& run) override;
  void OnSilence(double seconds) override;
  // Gives the character under way, if any.
  void Flush();
  // Forgets the character under way and the word.
  void Reset();

 private:
  void EndCharacter();
  bool Show(const std::string& key);
  bool Mend();

  const MorseDecodeMap& map_;
  TimingModel& timing_;
  std::string& text_;
  std::string key_;
  std::array<double, LongestKey> marks_{};  // the lengths of the key's marks
  std::array<double, LongestKey> gaps_{};   // of the gaps after each but the last
  bool overlong_ = false;                   // more marks than any character has
  bool wordOpen_ = false;                   // text given since the last space
};

}  // namespace zudorave
