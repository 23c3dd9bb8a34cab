// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying engine's clock: on the audio thread, counts samples and decides from them when
// the key goes down and up. While the station transmits it keys the planned characters, each
// edge at its ideal sample from the character's start; in a manual run it keys what the
// iambic keyer decides, checking the paddles at every call so a press is keyed within one
// callback, and publishes the elements and gaps for decoding. Whatever else the station does,
// it rests, finishing the character or element under way first.
//
// Threads: Begin where nothing renders (the user-interface thread, before the output opens);
// Next on the audio thread only. It takes no lock and allocates nothing.
#include <cstdint>

#include "morse/character_timing.h"
#include "morse/iambic_keyer.h"
#include "morse/key_events.h"
#include "morse/send_planner.h"
#include "morse/station_values.h"

namespace zudorave {

struct KeySpan {
  uint32_t samples;
  bool down;
  bool startsCharacter;  // a character of the text begins on the span's first sample
};

// Samples in a whole number of milliseconds at 44100 Hz, to the nearest.
constexpr uint64_t MsToSamples(uint64_t ms) { return (ms * 441 + 5) / 10; }

class KeySequencer {
 public:
  // All of them outlive the sequencer; it empties the character queue and fills the events.
  KeySequencer(StationValues& station, CharacterQueue& characters, SendProgress& progress,
               KeyEventQueue& events);

  // At rest, key up, clock at 0, paddles cleared.
  void Begin();
  // How many samples from now, between 1 and limit (given at least 1), the key stays as it
  // is, and whether it is down; the clock moves on by that much.
  KeySpan Next(uint32_t limit);

 private:
  enum class Mode : uint8_t { Rest, Sending, Manual };

  // Takes every decision due at the current sample.
  void Settle();
  bool Rest();
  bool StartCharacter(bool following);
  void FinishCharacter();
  void DropCharacters();
  void StartElement(Element element);
  void EndElement();
  void PublishGaps();
  uint64_t SendingSample(uint32_t ms) const {
    return timelineStart_ + MsToSamples(timelineMs_ + ms);
  }
  int32_t DotMsNow() const;

  StationValues& station_;
  CharacterQueue& characters_;
  SendProgress& progress_;
  KeyEventQueue& events_;
  IambicKeyer keyer_;

  uint64_t clock_ = 0;
  Mode mode_ = Mode::Rest;
  bool down_ = false;
  uint64_t nextEvent_ = 0;  // the next edge or decision, while not resting

  // Sending: characters follow one another on a timeline in milliseconds, begun afresh when
  // the text ran dry for a while.
  CharacterTiming character_;
  bool characterStarted_ = false;  // since the last span
  uint32_t edge_ = 0;
  uint64_t timelineStart_ = 0;
  uint64_t timelineMs_ = 0;  // where the current character starts on it

  // Manual keying.
  Element element_ = Element::None;
  uint64_t unitSamples_ = 0;
  uint64_t toneEnd_ = 0;  // of the last element
  enum class Gap : uint8_t { None, Character, Word } gapDue_ = Gap::None;
};

}  // namespace zudorave
