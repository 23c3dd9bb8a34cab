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

MmResult SdlWaveOut::PrepareHeader(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveOut::UnprepareHeader(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  if (&header == playing_ && !Finished()) return WAVERR_STILLPLAYING;
  if (&header == playing_) Release();
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveOut::Write(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  if (playing_ != nullptr && playing_ != &header && !Finished()) return WAVERR_STILLPLAYING;
  // Paused, the callback is out, so the fields change together as far as it can tell.
  device_->Pause(true);
  samples_.store(reinterpret_cast<int16_t*>(header.lpData), std::memory_order_relaxed);
  sampleCount_.store(WholeSamples(header.dwBufferLength), std::memory_order_relaxed);
  position_.store(0, std::memory_order_relaxed);
  passesLeft_.store(PassesFor(header.dwFlags, header.dwLoops), std::memory_order_release);
  playing_ = &header;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  device_->Pause(false);
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveOut::Reset() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_->Pause(true);
  passesLeft_.store(0, std::memory_order_release);
  samples_.store(nullptr, std::memory_order_relaxed);
  Release();
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveOut::Close() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_.reset();  // the callback is out for good
  samples_.store(nullptr, std::memory_order_relaxed);
  passesLeft_.store(0, std::memory_order_relaxed);
  Release();
  return MMSYSERR_NOERROR;
}

void SdlWaveOut::Release() {
  if (playing_ == nullptr) return;
  playing_->dwFlags = (playing_->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  playing_ = nullptr;
}

void SdlWaveOut::Callback(void* self, Uint8* stream, int bytes) {
  auto& out = *static_cast<SdlWaveOut*>(self);
  LoopCursor cursor{out.position_.load(std::memory_order_relaxed),
                    out.passesLeft_.load(std::memory_order_acquire)};
  RenderLoop(out.samples_.load(std::memory_order_relaxed),
             out.sampleCount_.load(std::memory_order_relaxed), cursor,
             std::span(reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(bytes) / 2));
  out.position_.store(cursor.position, std::memory_order_relaxed);
  out.passesLeft_.store(cursor.passesLeft, std::memory_order_release);
}

}  // namespace zudorave
