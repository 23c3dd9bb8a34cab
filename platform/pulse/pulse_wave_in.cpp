// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_wave_in.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace zudorave {

namespace {

bool Settled(pa_stream* stream) {
  const pa_stream_state_t state = pa_stream_get_state(stream);
  return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
}

std::optional<pa_sample_spec> ServerFormat(const WaveFormatEx& format) {
  if (format.wFormatTag != WAVE_FORMAT_PCM || format.nSamplesPerSec == 0) return std::nullopt;
  if (format.nChannels < 1 || format.nChannels > 2) return std::nullopt;
  if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return std::nullopt;
  return pa_sample_spec{format.wBitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE,
                        format.nSamplesPerSec, static_cast<uint8_t>(format.nChannels)};
}

}  // namespace

PulseWaveIn::PulseWaveIn(UiThread& ui, std::string source) : ui_(ui), source_(std::move(source)) {}

PulseWaveIn::~PulseWaveIn() {
  Close();
  // The notifier is joined next, then the mainloop stops, then the liveness token goes, so a
  // notice still queued on the user-interface thread finds this device gone.
}

uint32_t PulseWaveIn::GetNumDevs() {
  if (!connection_.Start()) return 0;
  PulseConnection::Lock lock(connection_);
  connection_.SetDeadline(OpenWithinMs);
  uint32_t count = 0;
  Step step = connection_.Connect();
  if (step == Step::Done) step = connection_.CountDevices(PulseConnection::Side::Source, count);
  if (step == Step::TimedOut) connection_.Disconnect();
  return step == Step::Done ? count : 0;
}

MmResult PulseWaveIn::Open(const WaveFormatEx& format, WimDataTarget* target) {
  if (open_) return MMSYSERR_ALLOCATED;
  if (!ServerFormat(format)) return WAVERR_BADFORMAT;
  if (!connection_.Start()) return MMSYSERR_NODRIVER;
  PulseConnection::Lock lock(connection_);
  connection_.Watch([this] { OnConnectionChange(); });
  connection_.SetDeadline(OpenWithinMs);
  format_ = format;
  recording_ = false;
  Step step = connection_.Connect();
  if (step == Step::Done) {
    step = connection_.FindDevice(PulseConnection::Side::Source, source_, sourceName_);
  }
  if (step == Step::Done) {
    if (!StartStream()) {
      step = Step::Refused;
    } else if (!connection_.WaitFor([this] { return Settled(stream_); })) {
      step = Step::TimedOut;
    } else if (pa_stream_get_state(stream_) != PA_STREAM_READY) {
      step = Step::Refused;
    }
  }
  if (step == Step::Done) {
    open_ = true;
    inGap_ = false;
    lost_.store(false, std::memory_order_release);
    missed_.store(0, std::memory_order_relaxed);
    target_ = target;
    targetAlive_ = target != nullptr ? target->Liveness() : std::weak_ptr<const void>();
    return MMSYSERR_NOERROR;
  }
  CloseStream();
  // A stalled server may answer this context much later; the next open starts afresh.
  if (step == Step::TimedOut) connection_.Disconnect();
  return step == Step::TimedOut ? MMSYSERR_ERROR : MMSYSERR_NODRIVER;
}

MmResult PulseWaveIn::PrepareHeader(WaveHdr& header) {
  if (!open_) return MMSYSERR_INVALHANDLE;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult PulseWaveIn::UnprepareHeader(WaveHdr& header) {
  if (!open_) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MmResult PulseWaveIn::AddBuffer(WaveHdr& header) {
  if (!open_) return MMSYSERR_INVALHANDLE;
  if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
  if (held_ != nullptr) return WAVERR_STILLPLAYING;  // one buffer at a time
  held_ = &header;
  header.dwBytesRecorded = 0;
  header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  PulseConnection::Lock lock(connection_);
  filling_ = &header;
  data_ = reinterpret_cast<std::byte*>(header.lpData);
  capacity_ = header.dwBufferLength;
  recorded_ = 0;
  return MMSYSERR_NOERROR;
}

MmResult PulseWaveIn::Start() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  PulseConnection::Lock lock(connection_);
  if (recording_) return MMSYSERR_NOERROR;
  recording_ = true;
  if (lost_.load(std::memory_order_relaxed)) {
    inGap_ = true;
    gapFrom_ = Clock::now();
  }
  Cork(false);
  return MMSYSERR_NOERROR;
}

MmResult PulseWaveIn::Stop() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  // A buffer with nothing in it yet stays with the device for the next Start.
  return HandBack(false);
}

MmResult PulseWaveIn::Reset() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  return HandBack(true);
}

MmResult PulseWaveIn::Close() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  Reset();
  {
    PulseConnection::Lock lock(connection_);
    open_ = false;
    retry_.Cancel();
    CloseStream();
    lost_.store(false, std::memory_order_release);
  }
  target_ = nullptr;
  targetAlive_.reset();
  return MMSYSERR_NOERROR;
}

// Stops recording and hands back what the device holds: the buffer being filled (when it has
// something in it, or evenEmpty), else a full one whose notice has not collected it yet.
MmResult PulseWaveIn::HandBack(bool evenEmpty) {
  WaveHdr* header = nullptr;
  {
    PulseConnection::Lock lock(connection_);
    Halt();
    if (evenEmpty || recorded_ > 0) header = TakePartial();
  }
  if (header == nullptr) header = TakeFull();
  if (header != nullptr) PostNotice(*header);
  return MMSYSERR_NOERROR;
}

void PulseWaveIn::Halt() {
  if (!recording_) return;
  recording_ = false;
  EndGap();
  Cork(true);
}

// With the lock held, on the user-interface thread: the buffer with what it has recorded.
WaveHdr* PulseWaveIn::TakePartial() {
  WaveHdr* header = filling_;
  if (header == nullptr) return nullptr;
  filling_ = nullptr;
  data_ = nullptr;
  GiveBack(*header, recorded_);
  recorded_ = 0;
  return header;
}

// A buffer the mainloop thread filled, unless its notice has collected it already.
WaveHdr* PulseWaveIn::TakeFull() {
  WaveHdr* header = full_.exchange(nullptr, std::memory_order_acq_rel);
  if (header == nullptr) return nullptr;
  GiveBack(*header, fullBytes_.load(std::memory_order_acquire));
  return header;
}

void PulseWaveIn::GiveBack(WaveHdr& header, uint32_t bytes) {
  header.dwBytesRecorded = bytes;
  header.dwFlags = (header.dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  if (held_ == &header) held_ = nullptr;
}

// The notice carries the target of the run now open, whatever is open by the time it runs.
void PulseWaveIn::PostNotice(WaveHdr& header) {
  if (target_ == nullptr) return;
  ui_.Post(
      [this, alive = std::weak_ptr(alive_), target = target_, targetAlive = targetAlive_, &header] {
        if (alive.expired() || targetAlive.expired()) return;
        target->OnWimData(*this, header);
      });
}

void PulseWaveIn::PostFull() {
  if (full_.load(std::memory_order_acquire) == nullptr) return;
  ui_.Post([this, alive = std::weak_ptr(alive_)] {
    if (!alive.expired()) CollectFull();
  });
}

// A full buffer waits only while its run lasts (Reset and Close take it), so the one found here
// belongs to the run now open, and goes to that run's target.
void PulseWaveIn::CollectFull() {
  WaveHdr* header = TakeFull();
  if (header == nullptr || target_ == nullptr || targetAlive_.expired()) return;
  target_->OnWimData(*this, *header);
}

bool PulseWaveIn::StartStream() {
  const pa_sample_spec serverFormat = *ServerFormat(format_);
  stream_ = pa_stream_new(connection_.Context(), "Capture", &serverFormat, nullptr);
  if (!stream_) return false;
  pa_stream_set_state_callback(
      stream_, [](pa_stream*, void* self) { static_cast<PulseWaveIn*>(self)->OnStreamChange(); },
      this);
  pa_stream_set_read_callback(stream_, &PulseWaveIn::Read, this);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(-1);
  attr.prebuf = static_cast<uint32_t>(-1);
  attr.minreq = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(FragmentUs, &serverFormat));
  // A stream made while stopped (at Open) waits corked for Start; one made again after the
  // server's return records at once when the run is under way.
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY |
                                                    (recording_ ? 0 : PA_STREAM_START_CORKED));
  const char* device = sourceName_.empty() ? nullptr : sourceName_.c_str();
  return pa_stream_connect_record(stream_, device, &attr, flags) >= 0;
}

void PulseWaveIn::CloseStream() {
  if (!stream_) return;
  // Under the lock no Read runs; after the disconnect none will.
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
}

// Corking only spares the server; what arrives while not recording is dropped either way.
void PulseWaveIn::Cork(bool corked) {
  if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
  if (pa_operation* cork = pa_stream_cork(stream_, corked ? 1 : 0, nullptr, nullptr)) {
    pa_operation_unref(cork);
  }
}

// On the mainloop's thread. The stream goes with its context; only an open input looks for the
// server again.
void PulseWaveIn::OnConnectionChange() {
  if (!open_) return;
  if (!connection_.Alive()) {
    Lose();
    retry_.In(RetryEveryMs);
  } else if (connection_.Ready()) {
    retry_.In(0);
  }
}

void PulseWaveIn::OnStreamChange() {
  connection_.Signal();  // an open waiting for it
  if (!open_ || !stream_) return;
  const pa_stream_state_t state = pa_stream_get_state(stream_);
  if (state == PA_STREAM_READY && lost_.load(std::memory_order_relaxed)) {
    lost_.store(false, std::memory_order_release);
    EndGap();
    if (notice_) notice_(Event::Back);
  } else if (!PA_STREAM_IS_GOOD(state)) {
    Lose();
    retry_.In(RetryEveryMs);
  }
}

// On the mainloop's thread, from the retry timer: the next step towards a recording stream.
void PulseWaveIn::Retry() {
  if (!open_) return;
  if (stream_ && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) return;  // on its way
  CloseStream();
  if (!connection_.Alive()) {
    // A refusal comes back through OnConnectionChange, which tries again later.
    if (!connection_.ConnectInBackground()) retry_.In(RetryEveryMs);
    return;
  }
  if (!connection_.Ready()) return;  // its change will call again
  if (!StartStream()) {
    CloseStream();
    retry_.In(RetryEveryMs);
  }
}

void PulseWaveIn::Lose() {
  if (lost_.exchange(true, std::memory_order_acq_rel)) return;
  if (recording_) {
    inGap_ = true;
    gapFrom_ = Clock::now();
  }
  if (notice_) notice_(Event::Lost);
}

// The gap ends when a new stream records, or when recording stops while the server is away.
void PulseWaveIn::EndGap() {
  if (!inGap_) return;
  inGap_ = false;
  const auto away = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - gapFrom_);
  const uint64_t frames = static_cast<uint64_t>(away.count()) * format_.nSamplesPerSec / 1000000;
  missed_.fetch_add(frames, std::memory_order_relaxed);
}

// On the mainloop's thread, with the lock held: everything readable goes into the held buffer,
// or is dropped when there is none or recording is stopped.
void PulseWaveIn::Read(pa_stream* stream, std::size_t /*bytes*/, void* self) {
  auto& in = *static_cast<PulseWaveIn*>(self);
  for (;;) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (pa_stream_peek(stream, &data, &size) < 0 || size == 0) return;
    if (data != nullptr) {
      in.Record(static_cast<const std::byte*>(data), size);
    } else if (in.recording_) {
      // A hole: the server dropped what it could not hand over.
      const uint32_t frameBytes = in.format_.nChannels * in.format_.wBitsPerSample / 8u;
      in.missed_.fetch_add(size / frameBytes, std::memory_order_relaxed);
    }
    pa_stream_drop(stream);
  }
}

// Copies and counts; on a full buffer wakes the notifier. What does not fit in the buffer is
// dropped: there is no second buffer to spill into.
void PulseWaveIn::Record(const std::byte* data, std::size_t bytes) {
  if (!recording_) return;
  // The tap hears every sample, whether or not a buffer is there to take it.
  if (tap_ != nullptr && format_.nChannels == 1 && format_.wBitsPerSample == 16) {
    tap_->Captured(data, bytes & ~std::size_t{1});
  }
  if (filling_ == nullptr) return;
  const auto count = static_cast<uint32_t>(std::min<std::size_t>(bytes, capacity_ - recorded_));
  std::memcpy(data_ + recorded_, data, count);
  recorded_ += count;
  if (recorded_ < capacity_) return;
  WaveHdr* header = filling_;
  filling_ = nullptr;
  data_ = nullptr;
  recorded_ = 0;
  fullBytes_.store(capacity_, std::memory_order_relaxed);
  full_.store(header, std::memory_order_release);
  notifier_.Wake();
}

}  // namespace zudorave
