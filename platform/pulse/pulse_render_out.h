#pragma once
// The render output straight on libpulse, for PulseAudio and PipeWire's PulseAudio server.
// SDL's stream holds one callback's worth in all and writes only once that has nearly played,
// so a late audio thread has almost no margin; here the stream is asked for a short total
// latency but refilled in small requests, so the buffer stays nearly full and a late thread
// has most of it as margin, while a paddle is still heard within about 15 ms.
//
// Threads: Open and Close on one thread (the user-interface thread); the source's Render runs
// on libpulse's mainloop thread, with the mainloop's lock held.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/render_out.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace zudorave {

class PulseRenderOut : public RenderOut {
 public:
  // The whole way from a render to the sink, and the most the server asks for at a time. The
  // server gives the sink about a third of 15 ms and keeps 10.5 ms queued. Longer buffers lost
  // no fewer blocks on a shared virtual machine, where what is lost goes with the time the host
  // takes the machine's CPUs away (bench/keying_bench shows both); only 40 ms outlasted that,
  // and a paddle keyer that far behind the hand no longer feels like one.
  struct Buffer {
    uint32_t latencyUs;
    uint32_t requestUs;
  };
  static constexpr Buffer DefaultBuffer{15000, 3000};

  // sink: the server's description of the sink to play on, as SDL names devices; empty for
  // the default sink.
  explicit PulseRenderOut(std::string sink = {}, Buffer buffer = DefaultBuffer);
  ~PulseRenderOut() override;
  PulseRenderOut(const PulseRenderOut&) = delete;
  PulseRenderOut& operator=(const PulseRenderOut&) = delete;

  // MMSYSERR_NODRIVER when no server answers or the chosen sink is not there.
  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;

  bool IsOpen() const { return stream_ != nullptr; }
  // Times the server ran out of samples since the last Open.
  uint32_t Underruns() const { return underruns_.load(std::memory_order_relaxed); }

 private:
  class Lock;
  // With the lock held:
  bool Connect();
  void Disconnect();
  void CloseStream();
  // The server's name for the chosen sink, empty for the default; false when it is not there.
  bool FindSink(std::string& name);
  // Waits on the mainloop until done() or the deadline; with the lock held.
  template <typename Done>
  bool WaitFor(Done done);

  static void Write(pa_stream* stream, std::size_t bytes, void* self);
  static void Signal(void* self);

  const std::string sink_;
  const Buffer buffer_;
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  // Read by Write under the mainloop's lock; set and cleared under it.
  RenderSource* source_ = nullptr;
  std::atomic<bool> timedOut_{false};
  std::atomic<uint32_t> underruns_{0};
};

}  // namespace zudorave
