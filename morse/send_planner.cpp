// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/send_planner.h"

#include <algorithm>

#include "morse/character_timing.h"

namespace zudorave {

void SendPlanner::Begin() {
  const auto size = static_cast<int32_t>(station_.TransmitText.Get().size());
  const int32_t keyed = std::max(station_.KeyedCharIndex.load(), 0);
  // Text typed into an idle station is sent from its start; the box's text from the caret.
  cursor_ = station_.TypedRunStart < 0 && keyed < size ? keyed : 0;
  caretOffset_ = keyed - cursor_;
  planned_ = 0;
  plannedUnits_ = 0;
  ended_ = false;
}

bool SendPlanner::Tick() {
  const StationState state = station_.OperatingState;
  if (ended_ || !Sends(state)) return false;
  // Stopping, nothing more is planned; the audio thread drops what it has not begun.
  if (state == StationState::Transmitting && Plan()) return false;
  if (progress_.characters.load(std::memory_order_acquire) != planned_) return false;
  ended_ = true;
  return true;
}

bool SendPlanner::Plan() {
  const std::string text = station_.TransmitText.Get();
  const auto size = static_cast<int32_t>(text.size());
  // Positions passed since the last planned character: a whole text's worth with Loop on means
  // nothing in it is sent.
  int32_t passed = 0;
  while (UnitsAhead() < LookaheadUnits &&
         planned_ - progress_.characters.load(std::memory_order_acquire) <
             CharacterQueue::Capacity) {
    // Past the end (the text may also have been cut short meanwhile).
    if (cursor_ >= size) {
      if (station_.LoopFlag == 0 || passed >= size) return false;
      cursor_ = 0;
    }
    const int32_t index = cursor_++;
    ++passed;
    char code = text[index];
    if (code == ' ' && station_.IgnoreSpaces != 0) continue;
    const std::string_view pattern = SendPattern(code);
    if (!Keyable(pattern)) continue;
    if (code >= 'a' && code <= 'z') code = static_cast<char>(code - 'a' + 'A');
    queue_.Push(PlannedCharacter{code, index, index + caretOffset_});
    const uint32_t units = PatternUnits(pattern);
    unitsOf_[planned_ % unitsOf_.size()] = units;
    ++planned_;
    plannedUnits_ += units;
    passed = 0;
  }
  return true;
}

uint64_t SendPlanner::UnitsAhead() const {
  // A finished character's units are published before it is counted, so read the other way
  // round: one just finished may be taken as under way, which plans a little more, never less.
  const uint64_t finished = progress_.characters.load(std::memory_order_acquire);
  const uint64_t units = progress_.units.load(std::memory_order_acquire);
  const uint64_t underWay = finished < planned_ ? unitsOf_[finished % unitsOf_.size()] : 0;
  return plannedUnits_ - units - std::min(underWay, plannedUnits_ - units);
}

}  // namespace zudorave
