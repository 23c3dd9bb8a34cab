// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_wave_out.h"

#include <span>

namespace zudorave {

SdlWaveOut::~SdlWaveOut() { Close(); }

MmResult SdlWaveOut::Open(const WaveFormatEx& format) {
  if (device_) return MMSYSERR_ALLOCATED;
  // The loop reads 16-bit mono samples; other formats have no use here.
  if (format.nChannels != 1 || format.wBitsPerSample != 16) return WAVERR_BADFORMAT;
  std::optional<SDL_AudioSpec> wanted = SdlFormatFor(format, CallbackFrames);
  if (!wanted) return WAVERR_BADFORMAT;
  wanted->callback = &SdlWaveOut::Callback;
  wanted->userdata = this;
  device_ = SdlAudioDevice::Open(audio_, false, *wanted);
  return device_ ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
}

MmResult SdlWaveOut::Close() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_.reset();  // the callback is out for good
  ForgetLoop();
  return MMSYSERR_NOERROR;
}

void SdlWaveOut::HoldRender(bool hold) {
  // Opened paused, the device starts with the first write.
  if (hold) {
    device_->Lock();
  } else {
    device_->Unlock();
    device_->Pause(false);
  }
}

void SdlWaveOut::Callback(void* self, Uint8* stream, int bytes) {
  static_cast<SdlWaveOut*>(self)->RenderLoopInto(
      std::span(reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(bytes) / 2));
}

}  // namespace zudorave
