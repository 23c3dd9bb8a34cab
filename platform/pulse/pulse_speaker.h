// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Beeps straight on libpulse, for PulseAudio and PipeWire's PulseAudio server: each tone is
// written whole into a short playback stream of its own, which is drained and closed, so a beep
// never disturbs the generator's loop or the keying side.
// Threads: one thread at a time calls; the stream is served on libpulse's mainloop thread.
#include <cstdint>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/speaker.h"
#include "platform/wave_types.h"

namespace zudorave {

class PulseSpeaker : public Speaker {
 public:
  static constexpr uint32_t MessageBeepFrequency = 880;
  static constexpr uint32_t MessageBeepMilliseconds = 120;
  // The whole way from the stream to the sink: once the stream is drained, this much may still
  // be on its way to the speaker.
  static constexpr uint32_t LatencyUs = 20000;
  static constexpr uint32_t OpenWithinMs = PulseRenderOut::OpenWithinMs;

  // sink as PulseRenderOut takes it.
  explicit PulseSpeaker(std::string sink = {}) : sink_(std::move(sink)) {}

  // Plays the tone and returns once it has played. Without a server or sink, or when the server
  // stalls, it still takes the tone's length, so a caller's rhythm holds.
  void Beep(uint32_t frequency, uint32_t milliseconds) override;
  void MessageBeep(uint32_t type) override;

  // Beep's work: MMSYSERR_NOERROR once the tone has played; MMSYSERR_NODRIVER at once when
  // there is no server or sink; MMSYSERR_ERROR when the server did not answer in time (opening
  // waits OpenWithinMs at most, playing the tone's length and a second).
  MmResult Play(uint32_t frequency, uint32_t milliseconds);

 private:
  const std::string sink_;
  std::string sinkName_;
  PulseConnection connection_;
};

}  // namespace zudorave
