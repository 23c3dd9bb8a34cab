// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/beep_speaker.h"

#include <chrono>
#include <thread>

#include "app/pulse_server.h"

namespace zudorave {

void BeepSpeaker::Beep(uint32_t frequency, uint32_t milliseconds) {
  const std::lock_guard lock(oneAtATime_);
  if (SdlOnPulseServer(audio_)) {
    const auto start = std::chrono::steady_clock::now();
    const MmResult result = pulse_.Play(frequency, milliseconds);
    if (result == MMSYSERR_NOERROR) return;
    if (result != MMSYSERR_NODRIVER) {
      std::this_thread::sleep_until(start + std::chrono::milliseconds(milliseconds));
      return;
    }
  }
  sdl_.Beep(frequency, milliseconds);
}

void BeepSpeaker::MessageBeep(uint32_t /*type*/) {
  Beep(PulseSpeaker::MessageBeepFrequency, PulseSpeaker::MessageBeepMilliseconds);
}

}  // namespace zudorave
