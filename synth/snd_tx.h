// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tone generator: three oscillators rendered into one second of 16-bit samples that the
// output device loops, re-rendered in place on every change.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "capture/capture_queue.h"
#include "platform/audio_format.h"
#include "platform/memory_block.h"
#include "platform/wave_out.h"
#include "platform/wave_types.h"
#include "synth/mix_mode.h"
#include "synth/playback_port.h"

namespace zudorave {

class SndTx {
 public:
  static constexpr int32_t InitialAf1Frequency = 300;
  static constexpr int32_t InitialAf2Frequency = 2400;
  static constexpr int32_t InitialAf3Frequency = 15000;
  static constexpr float OscillatorAmplitude = 32600;
  static constexpr double PhasePeriod = 6.2918;  // deliberately not 2 pi
  static constexpr uint8_t TableResolution = 2;  // points per degree
  static constexpr int16_t TableOffset = 0;
  static constexpr int TableSize = TableResolution * 360;
  static constexpr int CycleBufferSize = 1000;
  static constexpr int SampleCount = PlayBufferBytes / BytesPerSample;
  static constexpr uint32_t LoopFlags = PlaybackPort::LoopFlags;
  static constexpr uint32_t LoopCount = PlaybackPort::LoopCount;

  // The device and the filled-capture queue are the generator's collaborators; both must
  // outlive it. When memory is short the generator stays silent and says so in Shortage().
  SndTx(int32_t frequency, WaveOut& device, const CaptureQueue& filledQueue,
        const BlockAllocator& allocate = AllocateBlock);
  virtual ~SndTx();
  SndTx(const SndTx&) = delete;
  SndTx& operator=(const SndTx&) = delete;

  // Oscillators: index 1, 2 or 3 (AF1, AF2, AF3); any other index touches nothing.
  void FillOscillator(int32_t index, int32_t frequency);
  void Mix(MixMode mode, int32_t mask);

  // Keying tone: a stretch of the sine table tiled over the output buffer.
  int32_t CaptureCycle(float* cycle, int32_t frequency) const;
  void FillFromCycle(const float* cycle, int32_t n);

  // Playback device: the loop of the output buffer.
  static uint32_t PlayLength(int32_t ms) { return PlaybackPort::PlayLength(ms); }
  bool OpenSndTx(int32_t ms) { return port_->Open(ms); }
  void PlaySndTx(int32_t ms) { port_->Play(ms); }
  void StopSndTx() { port_->Stop(); }
  bool CloseSndTx() { return port_->Close(); }

  bool Sinus() const { return sinus_; }
  void SetSinus(bool on) { sinus_ = on; }

  // False when a memory block or an oscillator array could not be had.
  bool Ready() const { return shortage_.empty(); }
  const std::string& Shortage() const { return shortage_; }
  bool DeviceOpen() const { return port_->IsOpen(); }

  int16_t OutputSample(int index) const;
  const int16_t* OutputBuffer() const { return output_; }
  const float* SineArray(int32_t index) const;
  const float* CosineArray(int32_t index) const;
  float SineTableAt(int i) const { return sineTable_[i]; }
  const std::array<float, CycleBufferSize>& CycleBuffer() const { return cycle_; }
  const WaveFormatEx& Format() const { return format_; }
  const WaveHdr* Header() const { return header_; }
  uint32_t BufferLength() const { return bufferLength_; }

 private:
  void BuildSineTable();
  void InitBuffers(int32_t frequency, const BlockAllocator& allocate);
  void AllocateOscillators(const BlockAllocator& allocate);
  static constexpr int MixChunk = 900;  // divides the second evenly
  void StoreSample(int index, double value);
  void StoreChunk(int first, const double* values);
  void MixSideband(MixMode mode, int32_t mask);
  void MixSum(int32_t mask);
  void MixProduct(int32_t mask);
  // Adds (or, for the product, multiplies in) one oscillator's sine divided by divisor.
  void AddQuotients(double* v, int oscillator, int first, int divisor) const;
  void MultiplyQuotients(double* v, int oscillator, int first, int divisor) const;

  WaveOut& device_;
  const CaptureQueue& filledQueue_;
  std::string shortage_;

  bool sinus_ = false;
  std::array<float, CycleBufferSize> cycle_{};
  int16_t* output_ = nullptr;  // the sample block, shared with the device's audio thread
  int32_t captureLimit_ = 500;
  std::array<float, TableSize> sineTable_{};
  float pi_ = 3.14159f;
  float sampleRate_ = 0;
  WaveFormatEx format_{};
  MemoryBlock sampleBlock_;
  uint32_t bufferLength_ = 0;
  MemoryBlock headerBlock_;
  WaveHdr* header_ = nullptr;
  float microsecondsPerSecond_ = 1000000.0f;
  std::array<MemoryBlock, 3> sineBlocks_;
  std::array<MemoryBlock, 3> cosineBlocks_;
  std::array<float*, 3> sine_{};
  std::array<float*, 3> cosine_{};
  // Each sine divided by the mixer's divisors that are not powers of two, computed when the
  // oscillator is filled, so that a re-render only adds and multiplies.
  std::array<MemoryBlock, 3> thirdBlocks_;
  std::array<MemoryBlock, 3> over180Blocks_;
  std::array<double*, 3> sineThirds_{};
  std::array<double*, 3> sineOver180_{};
  // Last: the device lets go of the header and buffer before their blocks are freed.
  std::optional<PlaybackPort> port_;
};

}  // namespace zudorave
