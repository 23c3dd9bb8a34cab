// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sine keyed on and off. Each edge is a raised-cosine ramp of about 5 ms, so keying makes no
// clicks; a ramp starts on the sample where the key changes, so the half-amplitude points of a
// rise and the fall after it are exactly as far apart as the key was down.
// Threads: Start where nothing renders (before the output opens), Render on the audio thread.
#include <array>
#include <cstdint>
#include <span>

namespace zudorave {

class KeyedTone {
 public:
  static constexpr uint32_t EdgeSamples = 220;  // 4.99 ms at 44100 Hz
  static constexpr double Amplitude = 16000;

  KeyedTone();

  // Key up and silent, with the tone at hz (kept between 1 Hz and just below half the rate).
  void Start(int32_t hz);
  // The tone at hz from the next sample on, the sine running on from where it is.
  void Retune(int32_t hz);
  // Fills out with the key down, or up, throughout; a ramp under way goes on.
  void Render(std::span<int16_t> out, bool down);

 private:
  std::array<float, EdgeSamples + 1> gain_{};  // by ramp step, 0 silent to EdgeSamples full
  uint32_t level_ = 0;
  double phase_ = 0;
  double step_ = 0;
};

}  // namespace zudorave
