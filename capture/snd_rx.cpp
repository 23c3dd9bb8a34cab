// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/snd_rx.h"

#include <new>

#include "platform/audio_format.h"

namespace zudorave {

namespace {
constexpr uint32_t StopSignalHigh = 1000;
constexpr uint32_t StopSignalLow = 500;
constexpr uint32_t StopSignalMs = 60;
}  // namespace

SndRx::SndRx(WaveIn& device, Speaker& speaker, CaptureQueue& freeQueue, CaptureQueue& filledQueue,
             const BlockAllocator& allocate)
    : device_(device), speaker_(speaker), freeQueue_(freeQueue), filledQueue_(filledQueue) {
  attackLevel = 135;
  releaseLevel = 121;
  current_ = nullptr;
  SetupRxFormat(allocate);
  for (auto* levels : {&markLevels, &spaceLevels}) {
    for (LevelPair& pair : *levels) pair.count = 0;
  }
  lowThreshold = 100;
  highThreshold = 300;
}

SndRx::~SndRx() {
  // The header block goes only after the device has let go of the header.
  if (deviceOpen_) {
    device_.Reset();
    CloseSndRx();
  }
}

void SndRx::SetupRxFormat(const BlockAllocator& allocate) {
  sampleRate_ = static_cast<float>(SampleRate);
  samplePeriod_ = 1000000 / static_cast<int32_t>(sampleRate_);
  format_.wFormatTag = WAVE_FORMAT_PCM;
  format_.nChannels = 1;
  format_.nSamplesPerSec = static_cast<uint32_t>(sampleRate_);
  format_.nBlockAlign = BitsPerSample / 8;
  format_.nAvgBytesPerSec = format_.nBlockAlign * format_.nSamplesPerSec;
  format_.wBitsPerSample = BitsPerSample;
  format_.cbSize = 0;
  rxFormatReserved = 0;
  headerBlock_ = allocate(sizeof(WaveHdr));
  if (!headerBlock_) return;
  header_ = new (headerBlock_.get()) WaveHdr{};
  header_->dwUser = 0;
  header_->dwFlags = 0;
  header_->dwLoops = 0;
}

void SndRx::ArmHeader(WaveHdr& header, const CaptureBuffer& buffer) {
  header.lpData = reinterpret_cast<char*>(buffer.data);
  header.dwBufferLength = CaptureBufferBytes;
}

bool SndRx::OpenSndRx(WimDataTarget* target) {
  if (header_ == nullptr) return false;
  // The Mike box and the Receive command share one running capture rather than orphaning it.
  if (deviceOpen_) return true;
  device_.GetNumDevs();
  if (device_.Open(format_, target) != MMSYSERR_NOERROR) return false;
  deviceOpen_ = true;
  // A buffer left over from a stopped run is used again.
  if (current_ == nullptr) current_ = freeQueue_.TakeFront();
  if (current_ == nullptr) return true;  // the pool is spent: the device gets no buffer
  ArmHeader(*header_, *current_);
  lastResult_ = device_.PrepareHeader(*header_);
  return true;
}

void SndRx::StartSndRx() {
  if (!deviceOpen_) return;
  if (!started_) {
    lastResult_ = device_.Start();
    if (lastResult_ != MMSYSERR_NOERROR) device_.UnprepareHeader(*header_);
    lastResult_ = current_ != nullptr ? device_.AddBuffer(*header_) : MMSYSERR_ERROR;
    started_ = lastResult_ == MMSYSERR_NOERROR;
    if (!started_) return;
  }
  elementCounter = 0;
  markCounter = 0;
  spaceCounter = 0;
  gapCounter = 0;
  stopRequested_ = false;
}

void SndRx::FinishStopSignal() {
  if (stopSignal_.joinable()) stopSignal_.join();
}

bool SndRx::CloseSndRx() {
  if (!deviceOpen_) return true;
  device_.Stop();
  device_.UnprepareHeader(*header_);
  device_.Reset();
  device_.Close();
  deviceOpen_ = false;
  started_ = false;
  return true;
}

int SndRx::OnWimData(WaveIn& device, WaveHdr& header, const std::function<void()>& stopCommand) {
  // A notice that ran late, after its run ended: the device holds the header again for a new
  // run, or the buffer it carries is no longer the one being recorded. It changes nothing.
  const bool held = (header.dwFlags & WHDR_INQUEUE) != 0 || (header.dwFlags & WHDR_DONE) == 0;
  if (held || &header != header_ || current_ == nullptr ||
      header.lpData != reinterpret_cast<char*>(current_->data)) {
    return 0;
  }
  if (stopRequested_) {
    // The buffer stays current for the next run. A signal still sounding ends first, so the
    // two never overlap.
    FinishStopSignal();
    stopSignal_ = std::jthread([this] {
      speaker_.Beep(StopSignalHigh, StopSignalMs);
      speaker_.Beep(StopSignalLow, StopSignalMs);
    });
    if (stopCommand) stopCommand();
    return 0;
  }
  const uint32_t recorded = header.dwBytesRecorded;
  device.UnprepareHeader(header);
  current_->length = static_cast<int32_t>(recorded);
  filledQueue_.PushBack(current_);
  current_ = nullptr;
  // A partly filled buffer comes back on stop or reset: the cycle ends there.
  if (recorded != static_cast<uint32_t>(CaptureBufferBytes)) return 0;
  current_ = freeQueue_.TakeFront();
  if (current_ == nullptr) return 0;
  ArmHeader(header, *current_);
  header.dwUser = 0;
  header.dwFlags = 0;
  header.dwLoops = 0;
  device.PrepareHeader(header);
  device.AddBuffer(header);
  return 0;
}

}  // namespace zudorave
