#pragma once
// Whether SDL plays through PulseAudio or PipeWire, both of which serve libpulse: the outputs
// that need a short buffer then play on libpulse streams of their own.
// Threads: the user-interface thread.
#include "platform/sdl/sdl_audio.h"

namespace zudorave {

inline bool SdlOnPulseServer(SdlAudio& audio) {
  const std::string driver = audio.DriverName();
  return driver == "pulseaudio" || driver == "pipewire";
}

}  // namespace zudorave
