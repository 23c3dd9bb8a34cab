// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text keyed as the station sends it, without an output or an element timer: the keying
// engine runs here on a clock of its own, one timer period of samples after each tick, as fast
// as the caller takes them. The same planner, sequencer and keyed tone as a transmission, so
// the same 5 ms edges and timing rules.
// Plain C++, no devices; any thread, each call on its own values.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace zudorave {

struct TextKeying {
  int32_t wpm = 0;
  int32_t toneHz = 0;
  int32_t spacingMs = 0;  // added to every gap between characters
};

// Whether anything in text sounds: a character with a code other than the space.
bool HasKeyedTone(std::string_view text);

// Gives take the keyed text at 44100 samples a second, mono, block by block: a word's gap of
// silence, the text sent once through, and a word's gap again. Stops early, giving false,
// when take gives false.
bool KeyText(const std::string& text, const TextKeying& how,
             const std::function<bool(std::span<const int16_t>)>& take);

}  // namespace zudorave
