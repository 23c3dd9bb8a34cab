// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/text_keying.h"

#include <memory>
#include <vector>

#include "morse/character_timing.h"
#include "morse/key_sequencer.h"
#include "morse/keying_engine.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"

namespace zudorave {

bool HasKeyedTone(std::string_view text) {
  for (const char c : text) {
    if (c != ' ' && Keyable(SendPattern(c))) return true;
  }
  return false;
}

bool KeyText(const std::string& text, const TextKeying& how,
             const std::function<bool(std::span<const int16_t>)>& take) {
  // The values a transmission of this text starts from, Loop off.
  auto station = std::make_unique<StationValues>();
  const int32_t dotMs = MorseKeyer::DotFromWpm(how.wpm);
  station->DotMs = dotMs;
  station->RequestedDotMs = dotMs;
  station->ExtraSpacing = how.spacingMs;
  station->TransmitText.Set(text);
  station->KeyedCharIndex = 0;
  station->OperatingState = StationState::Transmitting;
  auto engine = std::make_unique<KeyingEngine>(*station);
  engine->Begin(how.toneHz);

  // The element timer ticks once a dot; the station's output renders what each tick planned.
  std::vector<int16_t> block(MsToSamples(static_cast<uint64_t>(dotMs)));
  const std::vector<int16_t> silence(MsToSamples(7 * static_cast<uint64_t>(dotMs)));
  if (!take(silence)) return false;
  for (bool ended = false; !ended;) {
    ended = engine->Tick();
    engine->Render(block);
    if (!take(block)) return false;
  }
  // The station rests once the text is out: a fall under way ends in the silence.
  station->OperatingState = StationState::Idle;
  std::vector<int16_t> tail(silence.size());
  engine->Render(tail);
  return take(tail);
}

}  // namespace zudorave
