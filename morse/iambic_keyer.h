// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The iambic keyer's decisions, taken from the paddle values SetPaddle leaves: the left paddle
// keys dots, the right dashes; a held paddle repeats; with both down the elements alternate;
// a press that came during an element (a latch, or a press the state holds that has not keyed
// yet) is keyed next. It hands the paddle state back to none once its press has keyed and the
// paddles are up, and clears each latch as it keys it; nothing else does.
//
// A release of either paddle reads as both up (SetPaddle hears "released", not which), so with
// one paddle still down the keyer goes on only once that paddle's input comes again.
//
// Threads: Begin where no run is going (the user-interface thread, before the output opens);
// Next on the audio thread. SetPaddle writes the values on the user-interface thread meanwhile;
// both change them by compare-exchange (morse/paddles.h).
#include <cstdint>

#include "morse/station_values.h"

namespace zudorave {

enum class Element : uint8_t { None, Dot, Dash };

class IambicKeyer {
 public:
  explicit IambicKeyer(StationValues& station) : station_(station) {}

  // No paddle down and nothing latched, so nothing left from an earlier run keys.
  void Begin();
  // The element to key now. last is the element whose gap has just ended, or None while the
  // keyer rests; None back means rest.
  Element Next(Element last);
  // Call at least once a callback while keying: a press that has keyed is handed back as soon
  // as its paddle is up, so a press of the same paddle during the element is heard as new.
  void Watch();

 private:
  StationValues& station_;
  bool pressUsed_ = false;  // the press the paddle state holds has keyed
};

}  // namespace zudorave
