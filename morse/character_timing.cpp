// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/character_timing.h"

#include "morse/morse_tables.h"

namespace zudorave {

CharacterTiming TimeCharacter(std::string_view pattern, uint32_t dotMs, uint32_t extraMs) {
  CharacterTiming timing;
  bool down = false;
  for (const char letter : pattern) {
    if (letter == 'e') break;
    const bool tone = letter == 'x';
    const uint32_t units = tone ? 1 : letter == '0' ? 1 : letter == 't' ? 2 : 0;
    if (units == 0) continue;
    // A run of "x" is one tone; every change of the key is an edge.
    if (tone != down && timing.edges < CharacterTiming::MaxEdges) {
      timing.edgeMs[timing.edges++] = timing.units * dotMs;
      down = tone;
    }
    timing.units += units;
  }
  // A pattern that ends keyed lets go at its end.
  if (down && timing.edges < CharacterTiming::MaxEdges) {
    timing.edgeMs[timing.edges++] = timing.units * dotMs;
  }
  timing.lengthMs = timing.units * dotMs + extraMs;
  return timing;
}

uint32_t PatternUnits(std::string_view pattern) { return TimeCharacter(pattern, 0, 0).units; }

std::string_view SendPattern(char c) {
  return MorsePattern(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
}

}  // namespace zudorave
