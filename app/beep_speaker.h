// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The beeps. Where SDL runs on PulseAudio or PipeWire, each tone plays on a libpulse stream of
// its own, so SDL opens no sound device on that server; anywhere else, or when that stream finds
// no server, through SDL.
// Threads: any; one call at a time (a beep on a worker thread waits for one from another).
#include <mutex>
#include <string>

#include "platform/pulse/pulse_speaker.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_speaker.h"
#include "platform/speaker.h"

namespace zudorave {

class BeepSpeaker : public Speaker {
 public:
  // audio must outlive it; device is SDL's name of the chosen output, empty for the default.
  BeepSpeaker(SdlAudio& audio, const std::string& device)
      : audio_(audio), pulse_(device), sdl_(audio) {}

  // Returns once played; without a device it still takes the tone's length.
  void Beep(uint32_t frequency, uint32_t milliseconds) override;
  void MessageBeep(uint32_t type) override;

 private:
  SdlAudio& audio_;
  PulseSpeaker pulse_;
  SdlSpeaker sdl_;
  std::mutex oneAtATime_;
};

}  // namespace zudorave
