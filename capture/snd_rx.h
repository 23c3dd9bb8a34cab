// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The microphone path: records one-second buffers from the default input device, taking them
// from the free queue and handing them to the filled queue, one buffer with the device at a time.
// Threads: user-interface thread; the two-tone signal at a stop plays on a thread of its own.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "capture/capture_queue.h"
#include "platform/memory_block.h"
#include "platform/speaker.h"
#include "platform/wave_in.h"
#include "platform/wave_types.h"

namespace zudorave {

class SndRx {
 public:
  SndRx(WaveIn& device, Speaker& speaker, CaptureQueue& freeQueue, CaptureQueue& filledQueue,
        const BlockAllocator& allocate = AllocateBlock);
  virtual ~SndRx();
  SndRx(const SndRx&) = delete;
  SndRx& operator=(const SndRx&) = delete;

  // Opens the default input device; returned buffers are reported to target (the window
  // that is active). A second open while the device is open shares the running capture.
  bool OpenSndRx(WimDataTarget* target);
  void StartSndRx();
  bool CloseSndRx();
  // The buffer cycle, run by the window's handler for a returned buffer. stopCommand is the
  // window's Stop command, run when a stop was requested, as the two-tone signal starts; the
  // signal plays on a thread of its own, so the caller is not held while it sounds. A notice
  // for a buffer the device holds again, or for one that is not the current buffer, is ignored.
  int OnWimData(WaveIn& device, WaveHdr& header, const std::function<void()>& stopCommand);
  // Returns once a two-tone signal under way has played. The destructor waits for it too.
  void FinishStopSignal();

  bool StopRequested() const { return stopRequested_; }
  void SetStopRequested(bool requested) { stopRequested_ = requested; }
  bool DeviceOpen() const { return deviceOpen_; }
  CaptureBuffer* Current() const { return current_; }
  const WaveFormatEx& Format() const { return format_; }
  const WaveHdr* Header() const { return header_; }
  MmResult LastResult() const { return lastResult_; }
  int32_t SamplePeriod() const { return samplePeriod_; }

  // Working values of a receive engine; nothing here reads them.
  struct LevelPair {
    int16_t level;
    int16_t count;
  };
  std::array<LevelPair, 5> markLevels{};
  std::array<LevelPair, 5> spaceLevels{};
  int32_t lowThreshold = 0;
  int32_t highThreshold = 0;
  int32_t elementCounter = 0;
  int32_t rxFormatReserved = 0;
  int32_t markCounter = 0;
  int32_t spaceCounter = 0;
  int32_t gapCounter = 0;
  uint8_t attackLevel = 0;
  uint8_t releaseLevel = 0;

 private:
  void SetupRxFormat(const BlockAllocator& allocate);
  static void ArmHeader(WaveHdr& header, const CaptureBuffer& buffer);

  WaveIn& device_;
  Speaker& speaker_;
  CaptureQueue& freeQueue_;
  CaptureQueue& filledQueue_;
  std::atomic<bool> stopRequested_{false};
  bool deviceOpen_ = false;
  bool started_ = false;
  CaptureBuffer* current_ = nullptr;
  float sampleRate_ = 0;
  int32_t samplePeriod_ = 0;
  WaveFormatEx format_{};
  MemoryBlock headerBlock_;
  WaveHdr* header_ = nullptr;
  MmResult lastResult_ = MMSYSERR_NOERROR;
  // Plays the two-tone signal; touches nothing but the speaker. Last: joined first.
  std::jthread stopSignal_;
};

}  // namespace zudorave
