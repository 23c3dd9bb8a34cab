// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_render_out.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <span>

namespace zudorave {

namespace {

bool Settled(pa_stream* stream) {
  const pa_stream_state_t state = pa_stream_get_state(stream);
  return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
}

// Renders bytes' worth from the source (silence without one) into the stream's own buffers, the
// first block written where offset and seek say, the rest after it.
void RenderInto(pa_stream* stream, RenderSource* source, std::size_t bytes, int64_t offset,
                pa_seek_mode_t seek) {
  while (bytes >= sizeof(int16_t)) {
    void* data = nullptr;
    std::size_t size = bytes;
    if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) return;
    size = std::min(size, bytes) / sizeof(int16_t) * sizeof(int16_t);
    if (size == 0) {
      pa_stream_cancel_write(stream);
      return;
    }
    const std::span samples(static_cast<int16_t*>(data), size / sizeof(int16_t));
    if (source) {
      source->Render(samples);
    } else {
      std::fill(samples.begin(), samples.end(), int16_t{0});
    }
    if (pa_stream_write(stream, data, size, nullptr, offset, seek) < 0) return;
    bytes -= size;
    offset = 0;
    seek = PA_SEEK_RELATIVE;
  }
}

}  // namespace

PulseRenderOut::PulseRenderOut(std::string sink, Buffer buffer, std::string streamName)
    : sink_(std::move(sink)), buffer_(buffer), streamName_(std::move(streamName)) {}

PulseRenderOut::~PulseRenderOut() { Close(); }

MmResult PulseRenderOut::Open(const WaveFormatEx& format, RenderSource& source) {
  if (open_) return MMSYSERR_ALLOCATED;
  if (format.nChannels != 1 || format.wBitsPerSample != 16 || format.nSamplesPerSec == 0) {
    return WAVERR_BADFORMAT;
  }
  if (!connection_.Start()) return MMSYSERR_NODRIVER;
  PulseConnection::Lock lock(connection_);
  connection_.Watch([this] { OnConnectionChange(); });
  connection_.SetDeadline(OpenWithinMs);
  rate_ = format.nSamplesPerSec;
  source_ = &source;
  Step step = connection_.Connect();
  if (step == Step::Done) {
    step = connection_.FindDevice(PulseConnection::Side::Sink, sink_, sinkName_);
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
    lost_.store(false, std::memory_order_release);
    underruns_.store(0, std::memory_order_relaxed);
    return MMSYSERR_NOERROR;
  }
  CloseStream();
  source_ = nullptr;
  // A stalled server may answer this context much later; the next open starts afresh.
  if (step == Step::TimedOut) connection_.Disconnect();
  return step == Step::TimedOut ? MMSYSERR_ERROR : MMSYSERR_NODRIVER;
}

MmResult PulseRenderOut::Close() {
  if (!open_) return MMSYSERR_INVALHANDLE;
  PulseConnection::Lock lock(connection_);
  open_ = false;
  retry_.Cancel();
  CloseStream();
  source_ = nullptr;
  lost_.store(false, std::memory_order_release);
  return MMSYSERR_NOERROR;
}

void PulseRenderOut::HoldRender(bool hold) {
  if (!connection_.Started()) return;
  if (hold) {
    connection_.Acquire();
  } else {
    connection_.Release();
  }
}

void PulseRenderOut::DropQueued() {
  if (!open_) return;
  PulseConnection::Lock lock(connection_);
  if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
  if (pa_operation* flush = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(flush);
}

void PulseRenderOut::Requeue() {
  if (!open_) return;
  PulseConnection::Lock lock(connection_);
  // One update at a time: its answer is handled after every change made before it.
  if (requeueing_ || !stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
  pa_operation* update = pa_stream_update_timing_info(
      stream_,
      [](pa_stream* stream, int success, void* self) {
        auto& out = *static_cast<PulseRenderOut*>(self);
        out.requeueing_ = false;
        if (!success || stream != out.stream_) return;
        if (const pa_timing_info* timing = pa_stream_get_timing_info(stream)) {
          out.RenderAgain(*timing);
        }
      },
      this);
  if (!update) return;
  requeueing_ = true;
  pa_operation_unref(update);
}

// On the mainloop's thread. The server counts what it took from the queue (the read index);
// the sink still holds some of that, and the server rewinds the sink for a write behind it.
void PulseRenderOut::RenderAgain(const pa_timing_info& timing) {
  if (!source_ || timing.read_index_corrupt || timing.write_index_corrupt) return;
  const pa_sample_spec* format = pa_stream_get_sample_spec(stream_);
  const auto ahead = static_cast<int64_t>(pa_usec_to_bytes(RequeueMarginUs, format));
  const auto inSink = static_cast<int64_t>(pa_usec_to_bytes(timing.sink_usec, format));
  int64_t from = std::max<int64_t>(timing.read_index - inSink + ahead, 0);
  from -= from % static_cast<int64_t>(sizeof(int16_t));
  if (from >= timing.write_index) return;
  auto bytes = static_cast<std::size_t>(timing.write_index - from);
  if (!source_->TakeBack(bytes / sizeof(int16_t))) return;
  RenderInto(stream_, source_, bytes, from, PA_SEEK_ABSOLUTE);
}

bool PulseRenderOut::StartStream() {
  const pa_sample_spec serverFormat{PA_SAMPLE_S16LE, rate_, 1};
  stream_ = pa_stream_new(connection_.Context(), streamName_.c_str(), &serverFormat, nullptr);
  if (!stream_) return false;
  pa_stream_set_state_callback(
      stream_, [](pa_stream*, void* self) { static_cast<PulseRenderOut*>(self)->OnStreamChange(); },
      this);
  pa_stream_set_write_callback(stream_, &PulseRenderOut::Write, this);
  pa_stream_set_underflow_callback(
      stream_,
      [](pa_stream*, void* self) {
        static_cast<PulseRenderOut*>(self)->underruns_.fetch_add(1, std::memory_order_relaxed);
      },
      this);
  // The server splits the latency between the sink and the stream's queue, and asks for more
  // whenever a request's worth has played.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(buffer_.latencyUs, &serverFormat));
  attr.prebuf = static_cast<uint32_t>(-1);
  attr.minreq = static_cast<uint32_t>(pa_usec_to_bytes(buffer_.requestUs, &serverFormat));
  attr.fragsize = static_cast<uint32_t>(-1);
  const char* device = sinkName_.empty() ? nullptr : sinkName_.c_str();
  return pa_stream_connect_playback(stream_, device, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                    nullptr) >= 0;
}

void PulseRenderOut::CloseStream() {
  if (!stream_) return;
  // Under the lock no Write runs; after the disconnect none will, and the server drops what
  // it still holds, so the sound stops at once.
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_write_callback(stream_, nullptr, nullptr);
  pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
  stream_ = nullptr;
  requeueing_ = false;  // its answer is dropped with the stream
}

// On the mainloop's thread. The stream goes with its context; only an open output looks for
// the server again.
void PulseRenderOut::OnConnectionChange() {
  if (!open_) return;
  if (!connection_.Alive()) {
    Tell(Event::Lost);
    retry_.In(RetryEveryMs);
  } else if (connection_.Ready()) {
    retry_.In(0);
  }
}

void PulseRenderOut::OnStreamChange() {
  connection_.Signal();  // an open waiting for it
  if (!open_ || !stream_) return;
  const pa_stream_state_t state = pa_stream_get_state(stream_);
  if (state == PA_STREAM_READY && lost_.load(std::memory_order_relaxed)) {
    lost_.store(false, std::memory_order_release);
    Tell(Event::Back);
  } else if (!PA_STREAM_IS_GOOD(state)) {
    Tell(Event::Lost);
    retry_.In(RetryEveryMs);
  }
}

// On the mainloop's thread, from the retry timer: the next step towards a playing stream.
void PulseRenderOut::Retry() {
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

void PulseRenderOut::Tell(Event event) {
  if (event == Event::Lost && lost_.exchange(true, std::memory_order_acq_rel)) return;
  if (notice_) notice_(event);
}

void PulseRenderOut::Write(pa_stream* stream, std::size_t bytes, void* self) {
  RenderInto(stream, static_cast<PulseRenderOut*>(self)->source_, bytes, 0, PA_SEEK_RELATIVE);
}

}  // namespace zudorave
