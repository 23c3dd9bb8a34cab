// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/snd_tx.h"

#include "synth/phase_reduction.h"

#include <cmath>
#include <cstring>

namespace zudorave {

SndTx::SndTx(int32_t frequency, WaveOut& device, const CaptureQueue& filledQueue,
             const BlockAllocator& allocate)
    : device_(device), filledQueue_(filledQueue) {
  pi_ = 3.14159f;
  microsecondsPerSecond_ = 1000000.0f;
  captureLimit_ = 500;
  BuildSineTable();
  InitBuffers(frequency, allocate);
  AllocateOscillators(allocate);
  FillOscillator(1, frequency);
  FillOscillator(2, InitialAf2Frequency);
  FillOscillator(3, InitialAf3Frequency);
  port_.emplace(device_, format_, header_);
}

SndTx::~SndTx() = default;

void SndTx::BuildSineTable() {
  const double step = (1.0 / TableResolution) * pi_ * (1.0 / 180);
  for (int i = 0; i < TableSize; ++i) {
    sineTable_[i] = static_cast<float>(std::sin(i * step) + TableOffset);
  }
}

void SndTx::InitBuffers(int32_t frequency, const BlockAllocator& allocate) {
  sampleRate_ = static_cast<float>(SampleRate);
  format_.wFormatTag = WAVE_FORMAT_PCM;
  format_.nChannels = 1;
  format_.nSamplesPerSec = static_cast<uint32_t>(sampleRate_);
  format_.wBitsPerSample = BitsPerSample;
  format_.nBlockAlign = BitsPerSample >> 3;
  format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
  format_.cbSize = 0;
  bufferLength_ = PlayBufferBytes;

  sampleBlock_ = allocate(bufferLength_);
  if (!sampleBlock_) {
    shortage_ = "no memory for the output sample buffer";
    return;
  }
  headerBlock_ = allocate(sizeof(WaveHdr));
  if (!headerBlock_) {
    sampleBlock_.reset();
    shortage_ = "no memory for the output header";
    return;
  }
  output_ = reinterpret_cast<int16_t*>(sampleBlock_.get());
  header_ = new (headerBlock_.get()) WaveHdr{};

  const int32_t n = CaptureCycle(cycle_.data(), frequency);
  if (n != 0) FillFromCycle(cycle_.data(), n);

  header_->lpData = reinterpret_cast<char*>(output_);
  header_->dwUser = 0;
  header_->dwFlags = 0;
  header_->dwLoops = 0;
}

void SndTx::AllocateOscillators(const BlockAllocator& allocate) {
  const std::size_t bytes = SampleCount * sizeof(float);
  for (auto* arrays : {&sineBlocks_, &cosineBlocks_}) {
    for (auto& block : *arrays) {
      block = allocate(bytes);
      if (!block && shortage_.empty()) shortage_ = "no memory for the oscillators";
    }
  }
  for (auto* arrays : {&thirdBlocks_, &over180Blocks_}) {
    for (auto& block : *arrays) {
      block = allocate(SampleCount * sizeof(double));
      if (!block && shortage_.empty()) shortage_ = "no memory for the oscillators";
    }
  }
  for (int i = 0; i < 3; ++i) {
    sine_[i] = reinterpret_cast<float*>(sineBlocks_[i].get());
    cosine_[i] = reinterpret_cast<float*>(cosineBlocks_[i].get());
    sineThirds_[i] = reinterpret_cast<double*>(thirdBlocks_[i].get());
    sineOver180_[i] = reinterpret_cast<double*>(over180Blocks_[i].get());
  }
}

void SndTx::FillOscillator(int32_t index, int32_t frequency) {
  if (index < 1 || index > 3) return;
  float* const sine = sine_[index - 1];
  float* const cosine = cosine_[index - 1];
  double* const thirds = sineThirds_[index - 1];
  double* const over180 = sineOver180_[index - 1];
  if (sine == nullptr || cosine == nullptr || thirds == nullptr || over180 == nullptr) return;
  const int count = static_cast<int>(bufferLength_ / BytesPerSample);
  const double step = static_cast<float>(frequency * PhasePeriod / 44100.0);
  for (int i = 0; i < count; ++i) {
    double phase = i * step;
    if (phase >= PhasePeriod) phase = ReducePhase(phase, PhasePeriod);
    cosine[i] = static_cast<float>(OscillatorAmplitude * std::cos(phase));
    sine[i] = static_cast<float>(OscillatorAmplitude * std::sin(phase));
  }
  for (int i = 0; i < count; ++i) {
    thirds[i] = sine[i] / 3.0;
    over180[i] = sine[i] / 180.0;
  }
}

const float* SndTx::SineArray(int32_t index) const {
  return index >= 1 && index <= 3 ? sine_[index - 1] : nullptr;
}

const float* SndTx::CosineArray(int32_t index) const {
  return index >= 1 && index <= 3 ? cosine_[index - 1] : nullptr;
}

}  // namespace zudorave
