// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Morse code in both directions. The pattern tables spell each character in unit letters:
// "x" a unit of tone, "0" a unit of silence, "t" and "e" closing every character, "u" a
// character without code, "p" a pause.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zudorave {

inline constexpr std::size_t PunctuationRecordBytes = 25;
inline constexpr std::size_t LetterRecordBytes = 20;
inline constexpr std::size_t ElementStringBytes = 5;

// Fixed-size, zero-padded records: codes 32 (space) to 64 ('@') in the first array, then one
// empty record; "u", 'A' to 'Z', "u" in the second, then one empty record.
struct MorseEncodeTables {
  char punctuation[34][PunctuationRecordBytes];
  char letters[29][LetterRecordBytes];
};
extern const MorseEncodeTables MorseEncodeTable;

// A dash, a dot, a pause and the end mark alone.
extern const char MorseElementStrings[4][ElementStringBytes];

// The pattern of a character: codes 32 to 64 by their offset from 32, '@' to '[' by their
// offset from '@', so the "u" records stand just before 'A' and just after 'Z'. Empty for any
// other character; what to make of lower case is the sender's business.
std::string_view MorsePattern(char c);

// From dots ("P") and dashes ("L") to the character they stand for; keys are case-sensitive.
// Filled once on the user-interface thread before any other thread reads it.
using MorseDecodeMap = std::unordered_map<std::string, std::string>;

// Stores the 59 entries, in their order; each replaces what its key held.
void FillMorseDecodeMap(MorseDecodeMap& map);

}  // namespace zudorave
