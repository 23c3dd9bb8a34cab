// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdint>

#include "synth/snd_tx.h"

namespace zudorave {

namespace {
constexpr int EarliestStop = 200;  // a stop must come after this index
constexpr float StopWindow = 500;
constexpr float Clamp = 10000.0f;
}  // namespace

int32_t SndTx::CaptureCycle(float* cycle, int32_t frequency) const {
  if (frequency <= 0) return 0;
  const double step = static_cast<float>(TableSize / (double{sampleRate_} / frequency));
  for (int32_t i = 0; i < captureLimit_; ++i) {
    auto k = static_cast<int64_t>(i * step);
    if (k >= TableSize) k %= TableSize;
    float v = sineTable_[k];
    if (!sinus_) {
      if (v >= Clamp) {
        v = Clamp;
      } else if (v <= -Clamp) {
        v = -Clamp;
      }
    }
    cycle[i] = v;
    if (i > EarliestStop && cycle[i - 1] < cycle[i] && cycle[i] >= -StopWindow &&
        cycle[i] <= StopWindow) {
      for (int32_t rest = i + 1; rest < captureLimit_; ++rest) cycle[rest] = TableOffset;
      return i;
    }
  }
  return 0;
}

void SndTx::FillFromCycle(const float* cycle, int32_t n) {
  if (n <= 0 || output_ == nullptr) return;
  const int32_t total = static_cast<int32_t>(bufferLength_ / BytesPerSample);
  const int32_t repeats = total / n;
  for (int32_t r = 0; r < repeats; ++r) {
    for (int32_t j = 0; j < n; ++j) StoreSample(r * n + j, cycle[j]);
  }
  for (int32_t j = 0; repeats * n + j < total; ++j) StoreSample(repeats * n + j, cycle[j]);
}

}  // namespace zudorave
