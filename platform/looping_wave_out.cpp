// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/looping_wave_out.h"

#include "platform/loop_render.h"

namespace zudorave {

MmResult LoopingWaveOut::PrepareHeader(WaveHdr& header) {
  if (!DeviceOpen()) return MMSYSERR_INVALHANDLE;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult LoopingWaveOut::UnprepareHeader(WaveHdr& header) {
  if (!DeviceOpen()) return MMSYSERR_INVALHANDLE;
  if (&header == playing_ && !Finished()) return WAVERR_STILLPLAYING;
  if (&header == playing_) Release();
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult LoopingWaveOut::Write(WaveHdr& header) {
  if (!DeviceOpen()) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  if (playing_ != nullptr && playing_ != &header && !Finished()) return WAVERR_STILLPLAYING;
  // Held out, the audio thread sees the fields change together.
  HoldRender(true);
  samples_.store(reinterpret_cast<int16_t*>(header.lpData), std::memory_order_relaxed);
  sampleCount_.store(WholeSamples(header.dwBufferLength), std::memory_order_relaxed);
  position_.store(0, std::memory_order_relaxed);
  passesLeft_.store(PassesFor(header.dwFlags, header.dwLoops), std::memory_order_release);
  playing_ = &header;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  HoldRender(false);
  return MMSYSERR_NOERROR;
}

MmResult LoopingWaveOut::Reset() {
  if (!DeviceOpen()) return MMSYSERR_INVALHANDLE;
  HoldRender(true);
  passesLeft_.store(0, std::memory_order_release);
  samples_.store(nullptr, std::memory_order_relaxed);
  HoldRender(false);
  Silence();
  Release();
  return MMSYSERR_NOERROR;
}

void LoopingWaveOut::ForgetLoop() {
  samples_.store(nullptr, std::memory_order_relaxed);
  passesLeft_.store(0, std::memory_order_relaxed);
  Release();
}

void LoopingWaveOut::Release() {
  if (playing_ == nullptr) return;
  playing_->dwFlags = (playing_->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  playing_ = nullptr;
}

void LoopingWaveOut::RenderLoopInto(std::span<int16_t> out) {
  LoopCursor cursor{position_.load(std::memory_order_relaxed),
                    passesLeft_.load(std::memory_order_acquire)};
  RenderLoop(samples_.load(std::memory_order_relaxed), sampleCount_.load(std::memory_order_relaxed),
             cursor, out);
  position_.store(cursor.position, std::memory_order_relaxed);
  passesLeft_.store(cursor.passesLeft, std::memory_order_release);
  if (level_ != nullptr) level_->Apply(out);
}

}  // namespace zudorave
