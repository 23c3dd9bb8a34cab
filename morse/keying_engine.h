// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying engine: sends the text and keys the paddles as a shaped sine at the tone given
// for the run, timed by the sample clock of the output that plays it, and decodes what the
// paddles keyed. Its parts run on three threads and hand over through lock-free rings:
//   element timer's thread: Tick plans the text ahead (SendPlanner)
//   audio thread:           Render keys (KeySequencer) and shapes the tone (KeyedTone)
//   a decoding thread:      Decode turns published elements into text (KeyDecoder)
// Threads: Begin on the user-interface thread while none of the others runs; then Tick, Render
// (or NextSpan) and Decode each on its own thread, one call at a time.
#include <atomic>
#include <cstdint>
#include <span>

#include "morse/key_decoder.h"
#include "morse/key_events.h"
#include "morse/key_sequencer.h"
#include "morse/send_planner.h"
#include "morse/station_values.h"
#include "platform/render_out.h"
#include "synth/keyed_tone.h"

namespace zudorave {

class KeyingEngine : public RenderSource {
 public:
  // station outlives the engine; its decode map is filled before the first Decode.
  explicit KeyingEngine(StationValues& station);

  // Readies a run with the tone at toneHz: nothing planned, nothing keyed, nothing to decode.
  void Begin(int32_t toneHz);
  // The tone at hz from the next character on; any thread, any time. An exchange hands it to
  // the audio thread, so the character under way keeps its tone.
  void Retune(int32_t hz) { nextToneHz_.store(hz, std::memory_order_release); }
  // True once, when a transmission has ended.
  bool Tick() { return planner_.Tick(); }
  // Decodes whatever the audio thread has published so far.
  void Decode();
  // The keyed tone.
  void Render(std::span<int16_t> out) override;
  // What Render keys by, without the tone: how long the key stays as it is.
  KeySpan NextSpan(uint32_t limit) { return sequencer_.Next(limit); }

 private:
  CharacterQueue characters_;
  SendProgress progress_;
  KeyEventQueue events_;
  SendPlanner planner_;
  KeySequencer sequencer_;
  KeyDecoder decoder_;
  KeyedTone tone_;
  std::atomic<int32_t> nextToneHz_{0};  // 0: no change waiting
};

}  // namespace zudorave
