// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_render_out.h"

#include <algorithm>
#include <span>

namespace zudorave {

SdlRenderOut::~SdlRenderOut() { Close(); }

MmResult SdlRenderOut::Open(const WaveFormatEx& format, RenderSource& source) {
  if (device_) return MMSYSERR_ALLOCATED;
  // Sources render 16-bit mono samples; SDL converts for the server when it wants another.
  if (format.nChannels != 1 || format.wBitsPerSample != 16) return WAVERR_BADFORMAT;
  std::optional<SDL_AudioSpec> wanted = SdlFormatFor(format, frames_);
  if (!wanted) return WAVERR_BADFORMAT;
  wanted->callback = &SdlRenderOut::Callback;
  wanted->userdata = this;
  device_ = SdlAudioDevice::Open(audio_, false, *wanted);
  if (!device_) return MMSYSERR_NODRIVER;
  // Opened paused: the callback is out until the source is in place.
  source_.store(&source, std::memory_order_release);
  device_->Pause(false);
  return MMSYSERR_NOERROR;
}

MmResult SdlRenderOut::Close() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_.reset();  // paused: the callback is out for good, the close goes on in the background
  source_.store(nullptr, std::memory_order_relaxed);
  return MMSYSERR_NOERROR;
}

void SdlRenderOut::Callback(void* self, Uint8* stream, int bytes) {
  auto& out = *static_cast<SdlRenderOut*>(self);
  const std::span samples(reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(bytes) / 2);
  if (RenderSource* source = out.source_.load(std::memory_order_acquire)) {
    source->Render(samples);
  } else {
    std::fill(samples.begin(), samples.end(), int16_t{0});
  }
}

}  // namespace zudorave
