// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether SDL plays through PulseAudio or PipeWire, both of which serve libpulse: every sound
// device then plays or records on libpulse streams of its own, and SDL's audio is put to rest.
// Threads: any (SdlAudio's calls may come from any thread).
#include "platform/sdl/sdl_audio.h"

namespace zudorave {

inline bool SdlOnPulseServer(SdlAudio& audio) {
  const std::string driver = audio.DriverName();
  const bool pulse = driver == "pulseaudio" || driver == "pipewire";
  if (pulse) audio.Rest();
  return pulse;
}

}  // namespace zudorave
