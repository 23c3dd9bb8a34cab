// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// zudorave --write-morse FILE: a text keyed as the station sends it, written to a sound file.
// Plain C++, no display and no sound server; any thread.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/sound_file.h"

namespace zudorave {

struct MorseFileRequest {
  std::string path;      // the file to write
  std::string text;      // the text to send, unless textFile names a file holding it
  std::string textFile;  // empty: text
  int32_t wpm = 0;
  int32_t toneHz = 0;
  int32_t spacingMs = 0;
};

// Line breaks and tabs in a text to send, each run of them as one space between words.
std::string SendableText(const std::string& text);

// Writes the file; status 0. A text file that does not read, a text without anything to key,
// a file that cannot be written or SIGINT, SIGTERM or SIGHUP meanwhile: one line on err naming
// the file and saying why, status 1, and nothing left under the name asked for.
int WriteMorseFile(const MorseFileRequest& request, SoundFiles& files, std::FILE* err);

}  // namespace zudorave
