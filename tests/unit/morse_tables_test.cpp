// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/morse_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace zudorave::testing {
namespace {

// A pattern in the key alphabet of the decode map: "x0" a dot, "xxx0" a dash.
std::string KeyOf(std::string_view pattern) {
  std::string key;
  for (std::size_t i = 0; i + 1 < pattern.size() && pattern[i] == 'x';) {
    const bool dash = pattern.compare(i, 4, "xxx0") == 0;
    key += dash ? 'L' : 'P';
    i += dash ? 4 : 2;
  }
  return key;
}

std::string PatternOf(const std::string& key) {
  std::string pattern;
  for (const char element : key) pattern += element == 'L' ? "xxx0" : "x0";
  return pattern + "te";
}

TEST(MorseDecodeMap, LookupsAfterFilling) {
  MorseDecodeMap map;
  FillMorseDecodeMap(map);
  FillMorseDecodeMap(map);  // a second keyer stores the same entries again
  EXPECT_EQ(map.size(), 59u);
  const std::pair<const char*, const char*> found[] = {
      {"P", "e"},       {"p", " "},      {"PLL", "w"}, {"LPLLPL", "("},
      {"LPLLPL1", ")"}, {"PLPPLP", "~"}, {"", ""},     {"e12", ">"},
  };
  for (const auto& [key, value] : found) {
    ASSERT_TRUE(map.contains(key)) << '"' << key << '"';
    EXPECT_EQ(map.at(key), value) << '"' << key << '"';
  }
  for (const char* missing : {"PPPPPP", "l", "pl", "e13", "LPLLPL2"}) {
    EXPECT_FALSE(map.contains(missing)) << missing;
  }
  for (const auto& [key, value] : map) {
    EXPECT_NE(value, "\"");
    EXPECT_NE(value, "@");
  }
}

// Every character the encode table can send decodes to itself (letters in lower case), but
// for the two whose codes the map gives to another character.
TEST(MorseTables, WhatIsSentDecodesToWhatWasSent) {
  MorseDecodeMap map;
  FillMorseDecodeMap(map);
  int sendable = 0;
  for (char c = ' '; c <= 'Z'; ++c) {
    const std::string_view pattern = MorsePattern(c);
    if (c == ' ' || pattern == "u") continue;
    const std::string key = KeyOf(pattern);
    ASSERT_EQ(PatternOf(key), pattern) << c << ": nothing but elements and the closing \"te\"";
    const char expected = c == ')' ? '(' : c == '"' ? '~' : static_cast<char>(std::tolower(c));
    ASSERT_TRUE(map.contains(key)) << c;
    EXPECT_EQ(map.at(key), std::string(1, expected)) << c;
    ++sendable;
  }
  EXPECT_EQ(sendable, 26 + 10 + 9);
}

TEST(MorseTables, EncodeRecordsAndTheirIndexing) {
  const std::pair<char, const char*> records[] = {
      {' ', "00te"}, {'?', "x0x0xxx0xxx0x0x0te"},
      {'@', "u"},    {'!', "u"},
      {'E', "x0te"}, {'T', "xxx0te"},
      {'[', "u"},    {'a', ""},
      {'\\', ""},    {'\x1f', ""},
  };
  for (const auto& [c, pattern] : records) EXPECT_EQ(MorsePattern(c), pattern) << int{c};
  // Fixed-size records, zero-padded, each array closed by an empty record.
  EXPECT_EQ(MorseEncodeTable.punctuation[32][1], '\0');
  EXPECT_EQ(std::memcmp(MorseEncodeTable.punctuation[0], "00te\0\0\0", 7), 0);
  EXPECT_STREQ(MorseEncodeTable.punctuation[33], "");
  EXPECT_STREQ(MorseEncodeTable.letters[0], "u");
  EXPECT_STREQ(MorseEncodeTable.letters[28], "");
  EXPECT_STREQ(MorseElementStrings[0], "xxxe");
  EXPECT_STREQ(MorseElementStrings[3], "e");
}

}  // namespace
}  // namespace zudorave::testing
