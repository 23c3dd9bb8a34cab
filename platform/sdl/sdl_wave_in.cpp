// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_wave_in.h"

#include <algorithm>
#include <cstring>

namespace zudorave {

SdlWaveIn::SdlWaveIn(SdlAudio& audio, UiThread& ui) : audio_(audio), ui_(ui) {}

SdlWaveIn::~SdlWaveIn() {
  Close();
  // The notifier is joined next (it is the last member), then the liveness token goes, so a
  // notice still queued on the user-interface thread finds this device gone.
}

uint32_t SdlWaveIn::GetNumDevs() { return audio_.CountDevices(true); }

MmResult SdlWaveIn::Open(const WaveFormatEx& format, WimDataTarget* target) {
  if (device_) return MMSYSERR_ALLOCATED;
  std::optional<SDL_AudioSpec> wanted = SdlFormatFor(format, CallbackFrames);
  if (!wanted) return WAVERR_BADFORMAT;
  tapFormat_.store(format.nChannels == 1 && format.wBitsPerSample == 16, std::memory_order_relaxed);
  wanted->callback = &SdlWaveIn::Callback;
  wanted->userdata = this;
  device_ = SdlAudioDevice::Open(audio_, true, *wanted);
  if (!device_) return MMSYSERR_NODRIVER;
  target_ = target;
  targetAlive_ = target != nullptr ? target->Liveness() : std::weak_ptr<const void>();
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::PrepareHeader(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::UnprepareHeader(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::AddBuffer(WaveHdr& header) {
  if (!device_) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  if (held_ != nullptr) return WAVERR_STILLPLAYING;  // one buffer at a time
  held_ = &header;
  header.dwBytesRecorded = 0;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  device_->Lock();
  data_.store(reinterpret_cast<std::byte*>(header.lpData), std::memory_order_relaxed);
  capacity_.store(header.dwBufferLength, std::memory_order_relaxed);
  recorded_.store(0, std::memory_order_relaxed);
  filling_.store(&header, std::memory_order_release);
  device_->Unlock();
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::Start() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_->Pause(false);
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::Stop() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_->Pause(true);
  // A buffer with nothing in it yet stays with the device for the next Start.
  WaveHdr* header = recorded_.load(std::memory_order_acquire) > 0 ? TakePartial() : nullptr;
  if (header == nullptr) header = TakeFull();
  if (header != nullptr) PostNotice(*header);
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::Reset() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  device_->Pause(true);
  WaveHdr* header = TakePartial();
  if (header == nullptr) header = TakeFull();
  if (header != nullptr) PostNotice(*header);
  return MMSYSERR_NOERROR;
}

MmResult SdlWaveIn::Close() {
  if (!device_) return MMSYSERR_INVALHANDLE;
  Reset();
  device_.reset();  // paused already: the callback stays out for good
  target_ = nullptr;
  targetAlive_.reset();
  return MMSYSERR_NOERROR;
}

// With the device paused: takes the buffer from the audio thread with what it has recorded.
WaveHdr* SdlWaveIn::TakePartial() {
  WaveHdr* header = filling_.exchange(nullptr, std::memory_order_acq_rel);
  if (header == nullptr) return nullptr;
  data_.store(nullptr, std::memory_order_relaxed);
  GiveBack(*header, recorded_.exchange(0, std::memory_order_acquire));
  return header;
}

// A buffer the audio thread filled, unless its notice has collected it already.
WaveHdr* SdlWaveIn::TakeFull() {
  WaveHdr* header = full_.exchange(nullptr, std::memory_order_acq_rel);
  if (header == nullptr) return nullptr;
  GiveBack(*header, fullBytes_.load(std::memory_order_acquire));
  return header;
}

void SdlWaveIn::GiveBack(WaveHdr& header, uint32_t bytes) {
  header.dwBytesRecorded = bytes;
  header.dwFlags = (header.dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  if (held_ == &header) held_ = nullptr;
}

// The notice carries the target of the run now open, whatever is open by the time it runs.
void SdlWaveIn::PostNotice(WaveHdr& header) {
  if (target_ == nullptr) return;
  ui_.Post(
      [this, alive = std::weak_ptr(alive_), target = target_, targetAlive = targetAlive_, &header] {
        if (alive.expired() || targetAlive.expired()) return;
        target->OnWimData(*this, header);
      });
}

void SdlWaveIn::PostFull() {
  if (full_.load(std::memory_order_acquire) == nullptr) return;
  ui_.Post([this, alive = std::weak_ptr(alive_)] {
    if (!alive.expired()) CollectFull();
  });
}

// A full buffer waits only while its run lasts (Reset and Close take it), so the one found here
// belongs to the run now open, and goes to that run's target.
void SdlWaveIn::CollectFull() {
  WaveHdr* header = TakeFull();
  if (header == nullptr || target_ == nullptr || targetAlive_.expired()) return;
  target_->OnWimData(*this, *header);
}

void SdlWaveIn::Callback(void* self, Uint8* stream, int bytes) {
  static_cast<SdlWaveIn*>(self)->Record(stream, static_cast<uint32_t>(bytes));
}

// On the audio thread: copy, count, and on a full buffer wake the notifier. What does not fit
// in the buffer is dropped; there is no second buffer to spill into.
void SdlWaveIn::Record(const Uint8* stream, uint32_t bytes) {
  if (tap_ != nullptr && tapFormat_.load(std::memory_order_relaxed)) {
    tap_->Captured(reinterpret_cast<const std::byte*>(stream), bytes & ~1u);
  }
  WaveHdr* header = filling_.load(std::memory_order_acquire);
  std::byte* data = data_.load(std::memory_order_relaxed);
  if (header == nullptr || data == nullptr) return;
  const uint32_t capacity = capacity_.load(std::memory_order_relaxed);
  const uint32_t recorded = recorded_.load(std::memory_order_relaxed);
  const uint32_t count = std::min(bytes, capacity - recorded);
  std::memcpy(data + recorded, stream, count);
  recorded_.store(recorded + count, std::memory_order_release);
  if (recorded + count < capacity) return;
  filling_.store(nullptr, std::memory_order_relaxed);
  data_.store(nullptr, std::memory_order_relaxed);
  recorded_.store(0, std::memory_order_relaxed);
  fullBytes_.store(capacity, std::memory_order_relaxed);
  full_.store(header, std::memory_order_release);
  notifier_.Wake();
}

}  // namespace zudorave
