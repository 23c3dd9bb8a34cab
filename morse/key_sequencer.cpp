// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/key_sequencer.h"

#include <algorithm>
#include <utility>

namespace zudorave {

namespace {

constexpr uint64_t CharacterGapUnits = 2;
constexpr uint64_t WordGapUnits = 5;

}  // namespace

KeySequencer::KeySequencer(StationValues& station, CharacterQueue& characters,
                           SendProgress& progress, KeyEventQueue& events)
    : station_(station),
      characters_(characters),
      progress_(progress),
      events_(events),
      keyer_(station) {}

void KeySequencer::Begin() {
  clock_ = 0;
  mode_ = Mode::Rest;
  down_ = false;
  nextEvent_ = 0;
  character_ = {};
  characterStarted_ = false;
  edge_ = 0;
  timelineStart_ = 0;
  timelineMs_ = 0;
  element_ = Element::None;
  unitSamples_ = 0;
  toneEnd_ = 0;
  gapDue_ = Gap::None;
  keyer_.Begin();
}

KeySpan KeySequencer::Next(uint32_t limit) {
  Settle();
  uint64_t until = clock_ + limit;
  if (mode_ != Mode::Rest) {
    until = std::min(until, nextEvent_);
  } else if (gapDue_ != Gap::None) {
    // Resting in a manual run: a gap is published on the sample it becomes long enough.
    const uint64_t units = gapDue_ == Gap::Character ? CharacterGapUnits : WordGapUnits;
    until = std::min(until, toneEnd_ + units * unitSamples_);
  }
  const auto samples = static_cast<uint32_t>(until - clock_);
  clock_ = until;
  return {samples, down_, std::exchange(characterStarted_, false)};
}

void KeySequencer::Settle() {
  if (KeysByHand(station_.OperatingState)) keyer_.Watch();
  for (;;) {
    switch (mode_) {
      case Mode::Rest:
        if (!Rest()) return;
        break;
      case Mode::Sending:
        if (clock_ < nextEvent_) return;
        if (edge_ < character_.edges) {
          down_ = edge_ % 2 == 0;
          ++edge_;
          nextEvent_ = SendingSample(edge_ < character_.edges ? character_.edgeMs[edge_]
                                                              : character_.lengthMs);
        } else {
          FinishCharacter();
          if (!StartCharacter(true)) mode_ = Mode::Rest;
        }
        break;
      case Mode::Manual:
        if (clock_ < nextEvent_) return;
        if (down_) {
          EndElement();
        } else {
          // The element's gap is over: the next one follows at once, or the keyer rests.
          const Element next =
              KeysByHand(station_.OperatingState) ? keyer_.Next(element_) : Element::None;
          if (next == Element::None) {
            mode_ = Mode::Rest;
          } else {
            StartElement(next);
          }
        }
        break;
    }
  }
}

// At rest: starts sending or keying when there is something to key; false while resting.
bool KeySequencer::Rest() {
  const StationState state = station_.OperatingState;
  if (Sends(state)) {
    if (!StartCharacter(false)) return false;
    mode_ = Mode::Sending;
    return true;
  }
  DropCharacters();
  if (!KeysByHand(state)) {
    gapDue_ = Gap::None;
    return false;
  }
  PublishGaps();
  const Element next = keyer_.Next(Element::None);
  if (next == Element::None) return false;
  StartElement(next);
  mode_ = Mode::Manual;
  return true;
}

int32_t KeySequencer::DotMsNow() const {
  // A speed asked for while the run goes on takes effect at the next character or element.
  const int32_t dotMs =
      station_.SpeedChangePending != 0 ? station_.RequestedDotMs.load() : station_.DotMs.load();
  return std::max(dotMs, 1);
}

bool KeySequencer::StartCharacter(bool following) {
  // Once the station stops transmitting, the character under way was the last.
  if (station_.OperatingState != StationState::Transmitting) {
    DropCharacters();
    return false;
  }
  PlannedCharacter next{};
  if (!characters_.Pop(next)) return false;
  const auto dotMs = static_cast<uint32_t>(DotMsNow());
  const auto extraMs =
      static_cast<uint32_t>(std::clamp(station_.ExtraSpacing.load(), 0, MaxExtraSpacing));
  if (following) {
    timelineMs_ += character_.lengthMs;
  } else {
    timelineStart_ = clock_;
    timelineMs_ = 0;
  }
  character_ = TimeCharacter(SendPattern(next.code), dotMs, extraMs);
  characterStarted_ = true;
  edge_ = 0;
  nextEvent_ = SendingSample(character_.edges > 0 ? character_.edgeMs[0] : character_.lengthMs);
  station_.SendPosition = next.textIndex;
  station_.KeyedCharIndex = next.caretIndex;
  return true;
}

void KeySequencer::FinishCharacter() {
  progress_.units.fetch_add(character_.units, std::memory_order_release);
  progress_.characters.fetch_add(1, std::memory_order_release);
}

void KeySequencer::DropCharacters() {
  PlannedCharacter dropped{};
  while (characters_.Pop(dropped)) {
    progress_.units.fetch_add(PatternUnits(SendPattern(dropped.code)), std::memory_order_release);
    progress_.characters.fetch_add(1, std::memory_order_release);
  }
}

void KeySequencer::StartElement(Element element) {
  const auto dotMs = static_cast<uint64_t>(DotMsNow());
  unitSamples_ = MsToSamples(dotMs);
  element_ = element;
  down_ = true;
  nextEvent_ = clock_ + MsToSamples(element == Element::Dash ? 3 * dotMs : dotMs);
  gapDue_ = Gap::None;
}

void KeySequencer::EndElement() {
  down_ = false;
  events_.Push(element_ == Element::Dot ? KeyEvent::Dot : KeyEvent::Dash);
  toneEnd_ = clock_;
  nextEvent_ = clock_ + unitSamples_;
  gapDue_ = Gap::Character;
}

void KeySequencer::PublishGaps() {
  if (gapDue_ == Gap::Character && clock_ >= toneEnd_ + CharacterGapUnits * unitSamples_) {
    events_.Push(KeyEvent::CharacterGap);
    gapDue_ = Gap::Word;
  }
  if (gapDue_ == Gap::Word && clock_ >= toneEnd_ + WordGapUnits * unitSamples_) {
    events_.Push(KeyEvent::WordGap);
    gapDue_ = Gap::None;
  }
}

}  // namespace zudorave
