// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/character_reader.h"

#include <algorithm>

namespace zudorave {

CharacterReader::CharacterReader(const MorseDecodeMap& map, TimingModel& timing, std::string& text)
    : map_(map), timing_(timing), text_(text) {
  key_.reserve(LongestKey);
}

void CharacterReader::Reset() {
  key_.clear();
  overlong_ = false;
  wordOpen_ = false;
}

void CharacterReader::OnRun(const ToneRun& run) {
  if (run.tone) {
    if (key_.size() < LongestKey) {
      marks_[key_.size()] = run.seconds;
      key_ += timing_.IsDash(run.seconds) ? 'L' : 'P';
    } else {
      overlong_ = true;
    }
  } else {
    const TimingModel::Gap gap = timing_.GapOf(run.seconds);
    if (gap == TimingModel::Gap::Element) {
      if (!key_.empty()) gaps_[key_.size() - 1] = run.seconds;
    } else {
      EndCharacter();
      if (gap == TimingModel::Gap::Word && wordOpen_) {
        text_ += ' ';
        wordOpen_ = false;
      }
    }
  }
  timing_.Add(run);
}

void CharacterReader::OnSilence(double seconds) {
  if (!key_.empty() && seconds >= timing_.CharacterGap()) EndCharacter();
  if (wordOpen_ && seconds >= timing_.WordGap()) {
    text_ += ' ';
    wordOpen_ = false;
  }
}

void CharacterReader::Flush() { EndCharacter(); }

void CharacterReader::EndCharacter() {
  if (key_.empty()) return;
  if (!overlong_ && !Show(key_)) Mend();
  key_.clear();
  overlong_ = false;
}

bool CharacterReader::Show(const std::string& key) {
  const auto found = map_.find(key);
  if (found == map_.end() || found->second.empty()) return false;
  text_ += found->second;
  wordOpen_ = true;
  return true;
}

bool CharacterReader::Mend() {
  const std::size_t size = key_.size();
  // Two characters with too short a gap between them: split at the longest gap.
  if (size >= 2) {
    const auto longest =
        std::max_element(gaps_.begin(), gaps_.begin() + static_cast<std::ptrdiff_t>(size - 1));
    const auto at = static_cast<std::size_t>(longest - gaps_.begin()) + 1;
    const std::string first = key_.substr(0, at), second = key_.substr(at);
    if (map_.contains(first) && map_.contains(second)) {
      Show(first);
      Show(second);
      return true;
    }
  }
  // One mark taken for the wrong kind: try the most doubtful first.
  std::array<std::size_t, LongestKey> order{};
  for (std::size_t i = 0; i < size; ++i) order[i] = i;
  std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(size),
            [this](std::size_t a, std::size_t b) {
              return timing_.Doubt(marks_[a]) < timing_.Doubt(marks_[b]);
            });
  for (std::size_t i = 0; i < std::min<std::size_t>(size, 2); ++i) {
    std::string key = key_;
    key[order[i]] = key[order[i]] == 'P' ? 'L' : 'P';
    if (Show(key)) return true;
  }
  return false;
}

}  // namespace zudorave
