// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/keyed_tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/audio_format.h"

namespace zudorave {

namespace {
constexpr double TwoPi = 2 * std::numbers::pi;
}  // namespace

KeyedTone::KeyedTone() {
  for (uint32_t k = 0; k <= EdgeSamples; ++k) {
    gain_[k] = static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * k / EdgeSamples));
  }
}

void KeyedTone::Start(int32_t hz) {
  Retune(hz);
  phase_ = 0;
  level_ = 0;
}

void KeyedTone::Retune(int32_t hz) {
  const int32_t highest = SampleRate / 2 - 1;
  step_ = TwoPi * std::clamp(hz, 1, highest) / SampleRate;
}

void KeyedTone::Render(std::span<int16_t> out, bool down) {
  std::size_t i = 0;
  if (!down && level_ == 0) {
    // Silent: the oscillator runs on without working out a sine nobody hears.
    std::fill(out.begin(), out.end(), int16_t{0});
    phase_ = std::fmod(phase_ + step_ * static_cast<double>(out.size()), TwoPi);
    return;
  }
  for (; i < out.size(); ++i) {
    if (down && level_ < EdgeSamples) {
      ++level_;
    } else if (!down && level_ > 0) {
      --level_;
    }
    out[i] = static_cast<int16_t>(std::lround(Amplitude * gain_[level_] * std::sin(phase_)));
    phase_ += step_;
    if (phase_ >= TwoPi) phase_ -= TwoPi;
  }
}

}  // namespace zudorave
