// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound_file.h"

#include <cctype>

namespace zudorave {

std::string SoundFileEnding(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ending = path.substr(dot + 1);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending;
}

bool KnownSoundFileEnding(const std::string& path) {
  const std::string ending = SoundFileEnding(path);
  return ending == "wav" || ending == "flac" || ending == "ogg" || ending == "oga";
}

}  // namespace zudorave
