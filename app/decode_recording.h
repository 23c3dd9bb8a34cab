// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// zudorave --decode FILE: the Morse in a recording, as text on standard output.
// Plain C++, no display and no sound server; any thread.
#include <cstdio>
#include <string>

#include "platform/sound_file.h"

namespace zudorave {

// Decodes the file at path and writes its text, then a newline, to out; status 0. A file that
// does not open or read gives one line on err naming it and saying why; status 1.
int DecodeRecording(const std::string& path, SoundFiles& files, std::FILE* out, std::FILE* err);

}  // namespace zudorave
