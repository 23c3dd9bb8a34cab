// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound devices on the command line: listing them, checking a chosen one exists before any
// window opens, and the line on stderr that says why a device did not open.
// Threads: PrintDevices and CheckChosenDevices on the thread that made audio; SayWhyNotOpened,
// SayServerChange and SayCaptureChange from any thread.
#include <cstdint>
#include <cstdio>

#include "platform/pulse/pulse_render_out.h"
#include "platform/sdl/sdl_audio.h"

namespace zudorave {

// SDL's output and input devices, one a line under a heading each. False, said on stderr, when
// the sound system did not start.
bool PrintDevices(SdlAudio& audio, std::FILE* out);

// True when every device chosen is one SDL knows; otherwise says on stderr which is not, with
// the devices there are.
bool CheckChosenDevices(SdlAudio& audio, const AudioChoice& choice);

// One line on stderr: which device did not open, SDL's reason, and what to try.
void SayWhyNotOpened(const AudioOpenFailure& failure);

// One line on stderr when the sound server went away under what plays (the tone, the
// sidetone), and one when it is back and that plays again.
void SayServerChange(const char* what, PulseRenderOut::Event event);

// The same for the capture; once back, how much of the run it missed.
void SayCaptureChange(PulseRenderOut::Event event, uint64_t missedSamples);

}  // namespace zudorave
