// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/quiet_alsa.h"

#include <alsa/asoundlib.h>

namespace zudorave {

namespace {

void Drop(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
          const char* /*fmt*/, ...) {}

}  // namespace

// SDL loads the same libasound at run time, so the handler set here is the one it uses.
void QuietAlsaErrors() { snd_lib_error_set_handler(&Drop); }

}  // namespace zudorave
