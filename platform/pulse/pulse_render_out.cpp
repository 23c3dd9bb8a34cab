#include "platform/pulse/pulse_render_out.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <span>

namespace zudorave {
namespace {

bool Settled(pa_context* context) {
  const pa_context_state_t state = pa_context_get_state(context);
  return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

bool Settled(pa_stream* stream) {
  const pa_stream_state_t state = pa_stream_get_state(stream);
  return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
}

}  // namespace

class PulseRenderOut::Lock {
 public:
  explicit Lock(pa_threaded_mainloop* mainloop) : mainloop_(mainloop) {
    pa_threaded_mainloop_lock(mainloop_);
  }
  ~Lock() { pa_threaded_mainloop_unlock(mainloop_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  pa_threaded_mainloop* mainloop_;
};

PulseRenderOut::PulseRenderOut(std::string sink, Buffer buffer, std::string streamName)
    : sink_(std::move(sink)), buffer_(buffer), streamName_(std::move(streamName)) {}

PulseRenderOut::~PulseRenderOut() {
  if (!mainloop_) return;
  {
    Lock lock(mainloop_);
    CloseStream();
    Disconnect();
  }
  pa_threaded_mainloop_stop(mainloop_);
  pa_threaded_mainloop_free(mainloop_);
}

MmResult PulseRenderOut::Open(const WaveFormatEx& format, RenderSource& source) {
  if (stream_) return MMSYSERR_ALLOCATED;
  if (format.nChannels != 1 || format.wBitsPerSample != 16 || format.nSamplesPerSec == 0) {
    return WAVERR_BADFORMAT;
  }
  if (!mainloop_) {
    mainloop_ = pa_threaded_mainloop_new();
    if (!mainloop_) return MMSYSERR_NODRIVER;
    if (pa_threaded_mainloop_start(mainloop_) < 0) {
      pa_threaded_mainloop_free(mainloop_);
      mainloop_ = nullptr;
      return MMSYSERR_NODRIVER;
    }
  }
  Lock lock(mainloop_);
  pa_timeval_add(pa_gettimeofday(&deadline_), pa_usec_t{OpenWithinMs} * PA_USEC_PER_MSEC);
  std::string sinkName;
  Step step = Connect();
  if (step == Step::Done) step = FindSink(sinkName);
  if (step == Step::Done) {
    source_ = &source;
    step = ConnectStream(format, sinkName);
  }
  if (step == Step::Done) return MMSYSERR_NOERROR;
  CloseStream();
  // A stalled server may answer this context much later; the next open starts afresh.
  if (step == Step::TimedOut) Disconnect();
  return step == Step::TimedOut ? MMSYSERR_ERROR : MMSYSERR_NODRIVER;
}

MmResult PulseRenderOut::Close() {
  if (!stream_) return MMSYSERR_INVALHANDLE;
  Lock lock(mainloop_);
  CloseStream();
  return MMSYSERR_NOERROR;
}

void PulseRenderOut::HoldRender(bool hold) {
  if (!mainloop_) return;
  if (hold) {
    pa_threaded_mainloop_lock(mainloop_);
  } else {
    pa_threaded_mainloop_unlock(mainloop_);
  }
}

void PulseRenderOut::DropQueued() {
  if (!stream_) return;
  Lock lock(mainloop_);
  if (pa_operation* flush = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(flush);
}

PulseRenderOut::Step PulseRenderOut::ConnectStream(const WaveFormatEx& format,
                                                   const std::string& sinkName) {
  const pa_sample_spec serverFormat{PA_SAMPLE_S16LE, format.nSamplesPerSec, 1};
  stream_ = pa_stream_new(context_, streamName_.c_str(), &serverFormat, nullptr);
  if (!stream_) return Step::Refused;
  underruns_.store(0, std::memory_order_relaxed);
  pa_stream_set_state_callback(
      stream_, [](pa_stream*, void* self) { Signal(self); }, this);
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
  const char* device = sinkName.empty() ? nullptr : sinkName.c_str();
  if (pa_stream_connect_playback(stream_, device, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                 nullptr) < 0) {
    return Step::Refused;
  }
  if (!WaitFor([this] { return Settled(stream_); })) return Step::TimedOut;
  return pa_stream_get_state(stream_) == PA_STREAM_READY ? Step::Done : Step::Refused;
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
  source_ = nullptr;
}

PulseRenderOut::Step PulseRenderOut::Connect() {
  if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY) return Step::Done;
  Disconnect();  // one the server dropped: connect anew
  pa_proplist* properties = pa_proplist_new();
  pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Zudorave");
  pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "zudorave");
  context_ =
      pa_context_new_with_proplist(pa_threaded_mainloop_get_api(mainloop_), "Zudorave", properties);
  pa_proplist_free(properties);
  if (!context_) return Step::Refused;
  pa_context_set_state_callback(
      context_, [](pa_context*, void* self) { Signal(self); }, this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    Disconnect();
    return Step::Refused;
  }
  if (!WaitFor([this] { return Settled(context_); })) return Step::TimedOut;
  if (pa_context_get_state(context_) == PA_CONTEXT_READY) return Step::Done;
  Disconnect();
  return Step::Refused;
}

void PulseRenderOut::Disconnect() {
  if (!context_) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

PulseRenderOut::Step PulseRenderOut::FindSink(std::string& name) {
  name.clear();
  if (sink_.empty()) return Step::Done;
  struct Search {
    PulseRenderOut* out;
    std::string found;
    bool done = false;
  } search{this, {}, false};
  pa_operation* operation = pa_context_get_sink_info_list(
      context_,
      [](pa_context*, const pa_sink_info* info, int last, void* data) {
        auto& s = *static_cast<Search*>(data);
        if (last) {
          s.done = true;
          Signal(s.out);
        } else if (info && s.found.empty() &&
                   (s.out->sink_ == info->description || s.out->sink_ == info->name)) {
          s.found = info->name;
        }
      },
      &search);
  if (!operation) return Step::Refused;
  WaitFor([&search] { return search.done; });
  if (!search.done) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  if (!search.done) return Step::TimedOut;
  name = search.found;
  return name.empty() ? Step::Refused : Step::Done;
}

template <typename Done>
bool PulseRenderOut::WaitFor(Done done) {
  timedOut_ = false;
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop_);
  pa_time_event* timer = api->time_new(
      api, &deadline_,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
        static_cast<PulseRenderOut*>(self)->timedOut_ = true;
        Signal(self);
      },
      this);
  while (!done() && !timedOut_) pa_threaded_mainloop_wait(mainloop_);
  api->time_free(timer);
  return done();
}
void PulseRenderOut::Signal(void* self) {
  pa_threaded_mainloop_signal(static_cast<PulseRenderOut*>(self)->mainloop_, 0);
}

void PulseRenderOut::Write(pa_stream* stream, std::size_t bytes, void* self) {
  auto& out = *static_cast<PulseRenderOut*>(self);
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
    if (out.source_) {
      out.source_->Render(samples);
    } else {
      std::fill(samples.begin(), samples.end(), int16_t{0});
    }
    if (pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
    bytes -= size;
  }
}

}  // namespace zudorave
