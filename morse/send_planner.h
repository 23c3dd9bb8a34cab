// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sending, on the element timer's side: hands the text to the audio thread character by
// character a few units ahead of what it keys, and says when the transmission has ended. The
// audio thread keys them from its sample clock (KeySequencer), so when the timer's thread runs
// changes nothing that is heard.
//
// Where sending starts: at KeyedCharIndex when that is inside the text, else at the text's
// start, and always there for text typed or pasted into an idle station (TypedRunStart). The
// difference is the caret's offset: such text is sent alone, while KeyedCharIndex points at it
// in the text box, so each character's caret index is its index in the text plus that offset.
//
// Threads: Begin on the user-interface thread while no tick runs; Tick on the element timer's
// thread. The audio thread is the queue's other end and publishes its progress.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "morse/spsc_ring.h"
#include "morse/station_values.h"

namespace zudorave {

struct PlannedCharacter {
  char code;           // upper case
  int32_t textIndex;   // in TransmitText: SendPosition while it sounds
  int32_t caretIndex;  // KeyedCharIndex while it sounds
};

using CharacterQueue = SpscRing<PlannedCharacter, 32>;

// Characters the audio thread has finished keying, or dropped, and their pattern units.
struct SendProgress {
  std::atomic<uint64_t> characters{0};
  std::atomic<uint64_t> units{0};
};

class SendPlanner {
 public:
  // Units kept planned behind the character under way: sixteen ticks at the starting speed,
  // and still three if the speed is raised from 5 to 25 words per minute while the timer keeps
  // its period. Counted behind it, not from its start, so that however long it is, the next
  // character is queued before it ends.
  static constexpr uint64_t LookaheadUnits = 16;

  // All three outlive the planner.
  SendPlanner(StationValues& station, CharacterQueue& queue, const SendProgress& progress)
      : station_(station), queue_(queue), progress_(progress) {}

  // Takes where sending starts from KeyedCharIndex and the text.
  void Begin();
  // While the station transmits, plans what the text holds; true once, when the text (or, once
  // the station stops transmitting, the character under way) has been keyed to its end.
  bool Tick();

 private:
  // Plans until enough is ahead; false when the text has nothing more to send.
  bool Plan();
  // Units planned behind the character the audio thread keys now (or keys next).
  uint64_t UnitsAhead() const;

  StationValues& station_;
  CharacterQueue& queue_;
  const SendProgress& progress_;
  int32_t cursor_ = 0;
  int32_t caretOffset_ = 0;
  uint64_t planned_ = 0;
  uint64_t plannedUnits_ = 0;
  // The units of each planned character not yet finished, by its number in planning order.
  std::array<uint32_t, CharacterQueue::Capacity> unitsOf_{};
  bool ended_ = false;
};

}  // namespace zudorave
