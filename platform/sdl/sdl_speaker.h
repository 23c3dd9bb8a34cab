// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Beeps through a short-lived output device of their own, so they never disturb the
// generator's loop on the main output.
// Threads: one thread at a time calls; the tone is rendered on SDL's audio thread.
#include "platform/sdl/sdl_audio.h"
#include "platform/speaker.h"

namespace zudorave {

class SdlSpeaker : public Speaker {
 public:
  static constexpr uint32_t MessageBeepFrequency = 880;
  static constexpr uint32_t MessageBeepMilliseconds = 120;

  // audio must outlive the speaker.
  explicit SdlSpeaker(SdlAudio& audio) : audio_(audio) {}

  // Plays the tone and returns once it has been handed to the sound server and played out.
  // Without a device it still takes the tone's length, so a caller's rhythm holds.
  void Beep(uint32_t frequency, uint32_t milliseconds) override;
  void MessageBeep(uint32_t type) override;

 private:
  SdlAudio& audio_;
};

}  // namespace zudorave
