// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <atomic>
#include <cstring>

#include "synth/snd_tx.h"

namespace zudorave {

namespace {

constexpr double ModulationScale = 0.001953125;  // 2^-9
constexpr double CarrierScale = 0.005f;          // single precision on purpose
constexpr int ProductNormaliser[] = {1, 1, 180, 1024};

// A disabled source reads as silence in the sums.
const float* SourceOrSilence(const float* array, int32_t mask, int32_t bit) {
  static const std::array<float, SndTx::SampleCount> silence{};
  return (mask & bit) != 0 ? array : silence.data();
}

}  // namespace

void SndTx::StoreSample(int index, double value) {
  // Truncate toward zero, keep the low 16 bits: out-of-range values wrap, nothing clamps.
  const auto sample = static_cast<int16_t>(static_cast<int32_t>(value));
  std::atomic_ref<int16_t>(output_[index]).store(sample, std::memory_order_relaxed);
}

int16_t SndTx::OutputSample(int index) const {
  return std::atomic_ref<int16_t>(output_[index]).load(std::memory_order_relaxed);
}

void SndTx::Mix(MixMode mode, int32_t mask) {
  if (!Ready()) return;
  switch (mode) {
    case MixMode::Lsb:
    case MixMode::Usb:
    case MixMode::Dsb:
      MixSideband(mode, mask);
      break;
    case MixMode::Sum:
      MixSum(mask);
      break;
    case MixMode::Product:
      MixProduct(mask);
      break;
    default:
      return;
  }
  device_.BufferChanged();
}

void SndTx::MixSideband(MixMode mode, int32_t mask) {
  const float* s1 = SourceOrSilence(sine_[0], mask, Af1Bit);
  const float* c1 = SourceOrSilence(cosine_[0], mask, Af1Bit);
  const float* s2 = SourceOrSilence(sine_[1], mask, Af2Bit);
  const float* c2 = SourceOrSilence(cosine_[1], mask, Af2Bit);
  const float* s3 = SourceOrSilence(sine_[2], mask, Af3Bit);
  const float* c3 = SourceOrSilence(cosine_[2], mask, Af3Bit);
  for (int j = 0; j < SampleCount; ++j) {
    const double x = double{static_cast<float>(s1[j] * ModulationScale)} +
                     static_cast<float>(s2[j] * ModulationScale);
    const double y = double{static_cast<float>(c1[j] * ModulationScale)} +
                     static_cast<float>(c2[j] * ModulationScale);
    const double u = s3[j] * CarrierScale;
    const double w = c3[j] * CarrierScale;
    double v = 0;
    if (mode == MixMode::Lsb) {
      v = y * w + x * u;
    } else if (mode == MixMode::Usb) {
      v = x * w + y * u;
    } else {
      v = x * w - x * u;
    }
    StoreSample(j, v);
  }
}

void SndTx::StoreChunk(int first, const double* values) {
  for (int j = 0; j < MixChunk; ++j) StoreSample(first + j, values[j]);
}

void SndTx::AddQuotients(double* v, int oscillator, int first, int divisor) const {
  if (divisor == 3) {
    const double* q = sineThirds_[oscillator] + first;
    for (int j = 0; j < MixChunk; ++j) v[j] = v[j] + q[j];
    return;
  }
  // Dividing by 1 or 2 is exactly multiplying by 1 or 0.5.
  const double scale = 1.0 / divisor;
  const float* s = sine_[oscillator] + first;
  for (int j = 0; j < MixChunk; ++j) v[j] = v[j] + s[j] * scale;
}

void SndTx::MultiplyQuotients(double* v, int oscillator, int first, int divisor) const {
  if (divisor == 180) {
    const double* q = sineOver180_[oscillator] + first;
    for (int j = 0; j < MixChunk; ++j) v[j] = v[j] * q[j];
    return;
  }
  // Dividing by 1 or 1024 is exactly multiplying by 1 or 2^-10.
  const double scale = 1.0 / divisor;
  const float* s = sine_[oscillator] + first;
  for (int j = 0; j < MixChunk; ++j) v[j] = v[j] * (s[j] * scale);
}

void SndTx::MixSum(int32_t mask) {
  int terms[3] = {};
  int enabled = 0;
  for (int i = 0; i < 3; ++i) {
    if ((mask & (1 << i)) != 0) terms[enabled++] = i;
  }
  // With no oscillator the mask itself divides (8 for the microphone alone).
  const int32_t divisor = enabled > 0 ? enabled : mask;
  // Only the first second of the front buffer is read; every pool buffer holds a full second.
  const std::byte* mike = nullptr;
  if ((mask & MikeBit) != 0 && !filledQueue_.Empty()) mike = filledQueue_.Front()->data;
  // Fixed-size chunks let the compiler vectorise the loops.
  for (int first = 0; first < SampleCount; first += MixChunk) {
    double v[MixChunk] = {};
    for (int t = 0; t < enabled; ++t) AddQuotients(v, terms[t], first, divisor);
    if (mike != nullptr) {
      int16_t samples[MixChunk];
      std::memcpy(samples, mike + first * sizeof(int16_t), sizeof samples);
      for (int j = 0; j < MixChunk; ++j) v[j] += samples[j] / divisor;
    }
    StoreChunk(first, v);
  }
}

void SndTx::MixProduct(int32_t mask) {
  int factors[3] = {};
  int enabled = 0;
  for (int i = 0; i < 3; ++i) {
    if ((mask & (1 << i)) != 0) factors[enabled++] = i;
  }
  const int divisor = ProductNormaliser[enabled];
  for (int first = 0; first < SampleCount; first += MixChunk) {
    double v[MixChunk];
    std::fill_n(v, MixChunk, 1.0);
    for (int f = 0; f < enabled; ++f) MultiplyQuotients(v, factors[f], first, divisor);
    StoreChunk(first, v);
  }
}

}  // namespace zudorave
