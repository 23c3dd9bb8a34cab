// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The benchmarks that play or record need the private sound server the test session starts.
#include <cstdio>
#include <cstdlib>

namespace zudorave {

inline bool InSoundSession() {
  if (std::getenv("ZUDORAVE_SOUND_SERVER") != nullptr) return true;
  std::fprintf(stderr, "run under scripts/with-test-session.sh\n");
  return false;
}

}  // namespace zudorave
