// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One character's keying worked out from its pattern: where the key goes down and up, in
// milliseconds from the character's start, and where the next character starts. Plain
// arithmetic without allocation, so the audio thread can use it.
#include <array>
#include <cstdint>
#include <string_view>

namespace zudorave {

struct CharacterTiming {
  // The longest patterns have six tones.
  static constexpr uint32_t MaxEdges = 16;
  std::array<uint32_t, MaxEdges> edgeMs{};  // down, up, down, up, ...
  uint32_t edges = 0;
  uint32_t lengthMs = 0;  // to the next character's start
  uint32_t units = 0;     // the pattern's units, without the extra spacing
};

// "x" a unit of tone, "0" a unit of silence, "t" two, "e" the end, where extraMs of silence
// follow (the spacing between characters); any other letter takes no time.
CharacterTiming TimeCharacter(std::string_view pattern, uint32_t dotMs, uint32_t extraMs);

// The units TimeCharacter counts for a pattern.
uint32_t PatternUnits(std::string_view pattern);

// Whether a pattern is sent at all: characters without a record, and the "u" records, are not.
inline bool Keyable(std::string_view pattern) { return !pattern.empty() && pattern != "u"; }

// The Morse code of a character as the sender keys it: lower case as upper case.
std::string_view SendPattern(char c);

}  // namespace zudorave
