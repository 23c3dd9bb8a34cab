// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/morse_tables.h"

#include <iterator>
#include <utility>

namespace zudorave {

const MorseEncodeTables MorseEncodeTable = {
    {
        "00te",                    // space: two units of silence
        "u",                       // !
        "x0xxx0x0x0xxx0x0te",      // "
        "u",                       // #
        "u",                       // $
        "u",                       // %
        "u",                       // &
        "x0xxx0xxx0xxx0xxx0x0te",  // '
        "xxx0x0xxx0xxx0x0xxx0te",  // (
        "xxx0x0xxx0xxx0x0xxx0te",  // ) shares the code of (
        "u",                       // *
        "u",                       // +
        "xxx0xxx0x0x0xxx0xxx0te",  // ,
        "u",                       // -
        "x0xxx0x0xxx0x0xxx0te",    // .
        "xxx0x0x0xxx0x0te",        // /
        "xxx0xxx0xxx0xxx0xxx0te",  // 0
        "x0xxx0xxx0xxx0xxx0te",    // 1
        "x0x0xxx0xxx0xxx0te",      // 2
        "x0x0x0xxx0xxx0te",        // 3
        "x0x0x0x0xxx0te",          // 4
        "x0x0x0x0x0te",            // 5
        "xxx0x0x0x0x0te",          // 6
        "xxx0xxx0x0x0x0te",        // 7
        "xxx0xxx0xxx0x0x0te",      // 8
        "xxx0xxx0xxx0xxx0x0te",    // 9
        "xxx0xxx0xxx0x0x0x0te",    // :
        "u",                       // ;
        "u",                       // <
        "u",                       // =
        "u",                       // >
        "x0x0xxx0xxx0x0x0te",      // ?
        "u",                       // @
        "",
    },
    {
        "u",
        "x0xxx0te",          // A
        "xxx0x0x0x0te",      // B
        "xxx0x0xxx0x0te",    // C
        "xxx0x0x0te",        // D
        "x0te",              // E
        "x0x0xxx0x0te",      // F
        "xxx0xxx0x0te",      // G
        "x0x0x0x0te",        // H
        "x0x0te",            // I
        "x0xxx0xxx0xxx0te",  // J
        "xxx0x0xxx0te",      // K
        "x0xxx0x0x0te",      // L
        "xxx0xxx0te",        // M
        "xxx0x0te",          // N
        "xxx0xxx0xxx0te",    // O
        "x0xxx0xxx0x0te",    // P
        "xxx0xxx0x0xxx0te",  // Q
        "x0xxx0x0te",        // R
        "x0x0x0te",          // S
        "xxx0te",            // T
        "x0x0xxx0te",        // U
        "x0x0x0xxx0te",      // V
        "x0xxx0xxx0te",      // W
        "xxx0x0x0xxx0te",    // X
        "xxx0x0xxx0xxx0te",  // Y
        "xxx0xxx0x0x0te",    // Z
        "u",
        "",
    },
};

const char MorseElementStrings[4][ElementStringBytes] = {"xxxe", "xe", "p", "e"};

std::string_view MorsePattern(char c) {
  if (c >= ' ' && c <= '@') return MorseEncodeTable.punctuation[c - ' '];
  if (c >= '@' && c <= '[') return MorseEncodeTable.letters[c - '@'];
  return {};
}

namespace {

// Keys as they are keyed: "P" a dot, "L" a dash. "p" is the pause; the "e" keys stand for
// characters without code and cannot be keyed; ")" can only be reached through its own key.
constexpr std::pair<const char*, const char*> DecodeEntries[] = {
    {"PL", "a"},      {"LPPP", "b"},  {"LPLP", "c"},   {"LPP", "d"},    {"P", "e"},
    {"PPLP", "f"},    {"LLP", "g"},   {"PPPP", "h"},   {"PP", "i"},     {"PLLL", "j"},
    {"LPL", "k"},     {"PLPP", "l"},  {"LL", "m"},     {"LP", "n"},     {"LLL", "o"},
    {"PLLP", "p"},    {"LLPL", "q"},  {"PLP", "r"},    {"PPP", "s"},    {"L", "t"},
    {"PPL", "u"},     {"PPPL", "v"},  {"PLL", "w"},    {"LPPL", "x"},   {"LPLL", "y"},
    {"LLPP", "z"},    {"p", " "},     {"e1", "!"},     {"PLPPLP", "~"}, {"e2", "#"},
    {"e3", "$"},      {"e4", "%"},    {"e5", "&"},     {"PLLLLP", "'"}, {"LPLLPL", "("},
    {"LPLLPL1", ")"}, {"e6", "*"},    {"e7", "+"},     {"LLPPLL", ","}, {"e8", "-"},
    {"PLPLPL", "."},  {"LPPLP", "/"}, {"LLLLL", "0"},  {"PLLLL", "1"},  {"PPLLL", "2"},
    {"PPPLL", "3"},   {"PPPPL", "4"}, {"PPPPP", "5"},  {"LPPPP", "6"},  {"LLPPP", "7"},
    {"LLLPP", "8"},   {"LLLLP", "9"}, {"LLLPPP", ":"}, {"e9", ";"},     {"e10", "<"},
    {"e11", "="},     {"e12", ">"},   {"PPLLPP", "?"}, {"", ""},
};
static_assert(std::size(DecodeEntries) == 59);

}  // namespace

void FillMorseDecodeMap(MorseDecodeMap& map) {
  for (const auto& [key, value] : DecodeEntries) map[key] = value;
}

}  // namespace zudorave
