// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One output device looping one header over a sample buffer: open with the header prepared,
// write it as a loop, stop, close. The generator and the keying side each have their own, so
// the sound server mixes the two and neither silences the other.
// User-interface thread only; the device's audio thread reads the buffer.
#include <cstdint>

#include "platform/wave_out.h"
#include "platform/wave_types.h"

namespace zudorave {

class PlaybackPort {
 public:
  static constexpr uint32_t LoopFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  static constexpr uint32_t LoopCount = 10000;

  // 88.2 bytes a millisecond, truncated, capped at one second; never negative.
  static uint32_t PlayLength(int32_t ms);

  // header may be null (no memory): the port then never opens. All three outlive the port.
  PlaybackPort(WaveOut& device, const WaveFormatEx& format, WaveHdr* header);
  ~PlaybackPort();
  PlaybackPort(const PlaybackPort&) = delete;
  PlaybackPort& operator=(const PlaybackPort&) = delete;

  // Opens the default device with the header prepared for a loop of ms; false when it cannot.
  // An open port is closed first, so no device is ever orphaned.
  bool Open(int32_t ms);
  // Writes the header as a loop of ms; a failed write unprepares it.
  void Play(int32_t ms);
  // Silent at once; the device stays open.
  void Stop();
  // Always true.
  bool Close();

  bool IsOpen() const { return open_; }

 private:
  WaveOut& device_;
  const WaveFormatEx& format_;
  WaveHdr* header_;
  bool open_ = false;
};

}  // namespace zudorave
