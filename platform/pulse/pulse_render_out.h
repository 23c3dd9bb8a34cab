#pragma once
// The render output straight on libpulse, for PulseAudio and PipeWire's PulseAudio server.
// SDL's stream holds one callback's worth in all and writes only once that has nearly played,
// so a late audio thread has almost no margin; here the stream is asked for a short total
// latency but refilled in small requests, so the buffer stays nearly full and a late thread
// has most of it as margin, while a paddle is still heard within about 15 ms.
//
// Threads: Open and Close on one thread (the user-interface thread); the source's Render runs
// on libpulse's mainloop thread, with the mainloop's lock held.
#include <sys/time.h>

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
  // the default sink. streamName: what the server's mixer shows for the stream.
  explicit PulseRenderOut(std::string sink = {}, Buffer buffer = DefaultBuffer,
                          std::string streamName = "Morse keying");
  ~PulseRenderOut() override;
  PulseRenderOut(const PulseRenderOut&) = delete;
  PulseRenderOut& operator=(const PulseRenderOut&) = delete;

  // A server that has not answered by then is taken as stalled: the caller (the
  // user-interface thread) is never held longer than this, however many steps opening takes.
  static constexpr uint32_t OpenWithinMs = 500;

  // MMSYSERR_NODRIVER when there is no server or the chosen sink is not there; MMSYSERR_ERROR
  // when the server did not answer in time (another library would wait on it without end).
  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;

  bool IsOpen() const { return stream_ != nullptr; }
  // While open: keeps Render from running (returning once it is out), or lets it run again.
  // Only briefly: the server's other requests wait too.
  void HoldRender(bool hold);
  // While open: drops what the server holds of the stream but has not played.
  void DropQueued();
  // Times the server ran out of samples since the last Open.
  uint32_t Underruns() const { return underruns_.load(std::memory_order_relaxed); }

 private:
  class Lock;
  enum class Step : uint8_t { Done, Refused, TimedOut };
  // With the lock held; each waits at most until the deadline of the open under way:
  Step Connect();
  void Disconnect();
  void CloseStream();
  // The server's name for the chosen sink in name, empty for the default.
  Step FindSink(std::string& name);
  Step ConnectStream(const WaveFormatEx& format, const std::string& sinkName);
  // Waits on the mainloop until done() or the deadline.
  template <typename Done>
  bool WaitFor(Done done);

  static void Write(pa_stream* stream, std::size_t bytes, void* self);
  static void Signal(void* self);

  const std::string sink_;
  const Buffer buffer_;
  const std::string streamName_;
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  // Read by Write under the mainloop's lock; set and cleared under it.
  RenderSource* source_ = nullptr;
  std::atomic<bool> timedOut_{false};
  timeval deadline_{};  // of the open under way; under the lock
  std::atomic<uint32_t> underruns_{0};
};

}  // namespace zudorave
