// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/keying_engine.h"

namespace zudorave {

KeyingEngine::KeyingEngine(StationValues& station)
    : planner_(station, characters_, progress_),
      sequencer_(station, characters_, progress_, events_),
      decoder_(station.DecodeMap, station.DecodedText, station.DecodedTextReady) {}

void KeyingEngine::Begin(int32_t toneHz) {
  characters_.Clear();
  events_.Clear();
  progress_.characters = 0;
  progress_.units = 0;
  planner_.Begin();
  sequencer_.Begin();
  decoder_.Begin();
  nextToneHz_.store(0, std::memory_order_relaxed);
  tone_.Start(toneHz);
}

void KeyingEngine::Decode() {
  KeyEvent event{};
  while (events_.Pop(event)) decoder_.Take(event);
}

void KeyingEngine::Render(std::span<int16_t> out) {
  while (!out.empty()) {
    const KeySpan span = sequencer_.Next(static_cast<uint32_t>(out.size()));
    if (span.startsCharacter) {
      // The key has been up for a gap, far longer than an edge: the change cannot click.
      if (const int32_t hz = nextToneHz_.exchange(0, std::memory_order_acquire); hz != 0) {
        tone_.Retune(hz);
      }
    }
    tone_.Render(out.first(span.samples), span.down);
    out = out.subspan(span.samples);
  }
}

}  // namespace zudorave
