#include <algorithm>
#include <cstdint>

#include "synth/snd_tx.h"

namespace zudorave {

uint32_t SndTx::PlayLength(int32_t ms) {
  // 88.2 bytes a millisecond, truncated; never negative and never past the one-second buffer.
  const int64_t microseconds = int64_t{ms} * 1000;
  const double microsecondsPerSample = double{1000000.0f} / double{44100.0f};
  const double bytes = static_cast<double>(microseconds) / microsecondsPerSample * BytesPerSample;
  if (bytes <= 0) return 0;
  return static_cast<uint32_t>(std::min(bytes, double{PlayBufferBytes}));
}

bool SndTx::OpenSndTx(int32_t ms) {
  if (header_ == nullptr) return false;
  // One device at a time: a second open closes the first rather than orphaning it.
  if (deviceOpen_) CloseSndTx();
  if (device_.Open(format_) != MMSYSERR_NOERROR) return false;
  deviceOpen_ = true;
  header_->dwBufferLength = PlayLength(ms);
  header_->dwFlags = LoopFlags;
  header_->dwLoops = LoopCount;
  device_.PrepareHeader(*header_);
  return true;
}

void SndTx::PlaySndTx(int32_t ms) {
  if (!deviceOpen_) return;
  header_->dwBufferLength = PlayLength(ms);
  if (device_.Write(*header_) != MMSYSERR_NOERROR) device_.UnprepareHeader(*header_);
}

void SndTx::StopSndTx() {
  if (!deviceOpen_) return;
  device_.Reset();
  device_.UnprepareHeader(*header_);
}

bool SndTx::CloseSndTx() {
  if (!deviceOpen_) return true;
  device_.UnprepareHeader(*header_);
  device_.Reset();
  device_.Close();
  deviceOpen_ = false;
  return true;
}

}  // namespace zudorave
