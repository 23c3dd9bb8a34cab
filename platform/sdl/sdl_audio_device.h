// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One open SDL audio device. Closing it (the destructor) pauses it, which returns once the
// callback is out and keeps it out, so whatever the callback reads may be released right after;
// SdlAudio then closes it in the background.
// Threads: whoever owns it; the callback runs on SDL's audio thread.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/sdl/sdl_audio.h"
#include "platform/wave_types.h"

namespace zudorave {

// SDL's description of one of our formats, or nothing when it is not 8- or 16-bit PCM.
std::optional<SDL_AudioSpec> SdlFormatFor(const WaveFormatEx& format, uint16_t frames);

class SdlAudioDevice {
 public:
  // Opens the device audio was told to use for that side (the system's default unless one
  // was chosen), paused, in exactly the format asked for (SDL converts when the server wants
  // another); null when there is no server or device. audio must outlive it.
  static std::unique_ptr<SdlAudioDevice> Open(SdlAudio& audio, bool capture,
                                              const SDL_AudioSpec& wanted);
  ~SdlAudioDevice();
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

  // Pausing returns only once the callback is out; a paused output device plays silence.
  void Pause(bool paused);
  // Keeps the callback out while held, for a hand-over that spans several fields.
  void Lock();
  void Unlock();
  const SDL_AudioSpec& Obtained() const { return obtained_; }

 private:
  SdlAudioDevice(SdlAudio& audio, SDL_AudioDeviceID id, const SDL_AudioSpec& obtained);

  SdlAudio& audio_;
  SDL_AudioDeviceID id_;
  SDL_AudioSpec obtained_;
};

}  // namespace zudorave
