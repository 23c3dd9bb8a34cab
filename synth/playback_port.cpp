// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/playback_port.h"

#include <algorithm>
#include <cstdint>

#include "platform/audio_format.h"

namespace zudorave {

uint32_t PlaybackPort::PlayLength(int32_t ms) {
  // In 64 bits: ms x 1000 wraps in 32 for long or negative lengths.
  const int64_t microseconds = int64_t{ms} * 1000;
  const double microsecondsPerSample = double{1000000.0f} / double{44100.0f};
  const double bytes = static_cast<double>(microseconds) / microsecondsPerSample * BytesPerSample;
  if (bytes <= 0) return 0;
  return static_cast<uint32_t>(std::min(bytes, double{PlayBufferBytes}));
}

PlaybackPort::PlaybackPort(WaveOut& device, const WaveFormatEx& format, WaveHdr* header)
    : device_(device), format_(format), header_(header) {}

PlaybackPort::~PlaybackPort() {
  // The header and its buffer are released only after the device let go of them.
  if (open_) {
    device_.Reset();
    Close();
  }
}

bool PlaybackPort::Open(int32_t ms) {
  if (header_ == nullptr) return false;
  if (open_) Close();
  if (device_.Open(format_) != MMSYSERR_NOERROR) return false;
  open_ = true;
  header_->dwBufferLength = PlayLength(ms);
  header_->dwFlags = LoopFlags;
  header_->dwLoops = LoopCount;
  device_.PrepareHeader(*header_);
  return true;
}

void PlaybackPort::Play(int32_t ms) {
  if (!open_) return;
  header_->dwBufferLength = PlayLength(ms);
  if (device_.Write(*header_) != MMSYSERR_NOERROR) device_.UnprepareHeader(*header_);
}

void PlaybackPort::Stop() {
  if (!open_) return;
  device_.Reset();
  device_.UnprepareHeader(*header_);
}

bool PlaybackPort::Close() {
  if (!open_) return true;
  device_.UnprepareHeader(*header_);
  device_.Reset();
  device_.Close();
  open_ = false;
  return true;
}

}  // namespace zudorave
