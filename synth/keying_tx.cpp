// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/keying_tx.h"

#include <algorithm>

#include "platform/audio_format.h"

namespace zudorave {

namespace {

constexpr WaveFormatEx KeyingFormat{
    WAVE_FORMAT_PCM, 1, SampleRate, SampleRate* BytesPerSample, BytesPerSample, BitsPerSample};

}  // namespace

KeyingTx::KeyingTx(RenderOut& device, RenderSource& source) : device_(device), source_(source) {}

KeyingTx::~KeyingTx() { CloseSndTx(); }

bool KeyingTx::OpenSndTx() {
  if (open_) CloseSndTx();
  silent_.store(false, std::memory_order_relaxed);
  // Not this object: the silence of StopSndTx stands between the device and the source.
  if (device_.Open(KeyingFormat, *this) != MMSYSERR_NOERROR) return false;
  open_ = true;
  return true;
}

void KeyingTx::StopSndTx() {
  if (open_) silent_.store(true, std::memory_order_relaxed);
}

bool KeyingTx::CloseSndTx() {
  if (!open_) return true;
  device_.Close();
  open_ = false;
  return true;
}

void KeyingTx::Render(std::span<int16_t> out) {
  if (silent_.load(std::memory_order_relaxed)) {
    std::fill(out.begin(), out.end(), int16_t{0});
  } else {
    source_.Render(out);
  }
}

}  // namespace zudorave
