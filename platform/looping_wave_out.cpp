// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/looping_wave_out.h"

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
  Restart(LoopCursor{0, PassesFor(header.dwFlags, header.dwLoops)});
  playing_ = &header;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  HoldRender(false);
  Requeue();
  return MMSYSERR_NOERROR;
}

MmResult LoopingWaveOut::Reset() {
  if (!DeviceOpen()) return MMSYSERR_INVALHANDLE;
  HoldRender(true);
  Restart(LoopCursor{0, 0});
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

void LoopingWaveOut::Restart(LoopCursor cursor) {
  position_.store(cursor.position, std::memory_order_relaxed);
  passesLeft_.store(cursor.passesLeft, std::memory_order_release);
  restartAt_ = rendered_;
  restart_ = cursor;
  history_.DropFrom(rendered_);
  history_.Record(rendered_, Now(cursor));
}

LoopState LoopingWaveOut::Now(LoopCursor cursor) {
  return LoopState{cursor, level_ != nullptr ? level_->Follow() : OutputLevel::Glide{}};
}

bool LoopingWaveOut::TakeBack(uint64_t samples) {
  if (samples > rendered_ || Finished()) return false;
  const uint64_t from = rendered_ - samples;
  std::optional<LoopState> state = history_.At(from, sampleCount_.load(std::memory_order_relaxed));
  if (!state) return false;
  if (from < restartAt_) {  // a loop written since starts there instead
    state->cursor = restart_;
    restartAt_ = from;
  }
  history_.DropFrom(from);
  history_.Record(from, *state);
  rendered_ = from;
  position_.store(state->cursor.position, std::memory_order_relaxed);
  passesLeft_.store(state->cursor.passesLeft, std::memory_order_release);
  if (level_ != nullptr) level_->GoBackTo(state->glide);
  return true;
}

void LoopingWaveOut::RenderLoopInto(std::span<int16_t> out) {
  LoopCursor cursor{position_.load(std::memory_order_relaxed),
                    passesLeft_.load(std::memory_order_acquire)};
  history_.Record(rendered_, Now(cursor));
  rendered_ += out.size();
  RenderLoop(samples_.load(std::memory_order_relaxed), sampleCount_.load(std::memory_order_relaxed),
             cursor, out);
  position_.store(cursor.position, std::memory_order_relaxed);
  passesLeft_.store(cursor.passesLeft, std::memory_order_release);
  if (level_ != nullptr) level_->Apply(out);
}

}  // namespace zudorave
