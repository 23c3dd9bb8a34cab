// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render output straight on libpulse, for PulseAudio and PipeWire's PulseAudio server.
// SDL's stream holds one callback's worth in all and writes only once that has nearly played,
// so a late audio thread has almost no margin; here the stream is asked for a short total
// latency but refilled in small requests, so the buffer stays nearly full and a late thread
// has most of it as margin, while a paddle is still heard within about 15 ms.
//
// When the server goes away while the output is open, the output stays open for its owner:
// it says so (Lost, and a notice), tries the server again every RetryEveryMs, and once the
// server answers plays on a new stream from the same source.
//
// Threads: Open, Close, HoldRender and DropQueued on one thread (the user-interface thread);
// the source's Render runs on libpulse's mainloop thread, with the mainloop's lock held, and so
// do the notices. Lost and Underruns from any thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_timer.h"
#include "platform/render_out.h"

struct pa_stream;
struct pa_timing_info;

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
  // A server that has not answered by then is taken as stalled: the caller (the
  // user-interface thread) is never held longer than this, however many steps opening takes.
  static constexpr uint32_t OpenWithinMs = 500;
  // How often a lost server is tried again.
  static constexpr uint32_t RetryEveryMs = 250;

  // What happened to an open output's stream, for one line on stderr.
  enum class Event : uint8_t { Lost, Back };
  using Notice = std::function<void(Event)>;

  // sink: the server's description of the sink to play on, as SDL names devices; empty for
  // the default sink. streamName: what the server's mixer shows for the stream.
  explicit PulseRenderOut(std::string sink = {}, Buffer buffer = DefaultBuffer,
                          std::string streamName = "Morse keying");
  ~PulseRenderOut() override;
  PulseRenderOut(const PulseRenderOut&) = delete;
  PulseRenderOut& operator=(const PulseRenderOut&) = delete;

  // Set before the first Open.
  void OnNotice(Notice notice) { notice_ = std::move(notice); }

  // MMSYSERR_NODRIVER when there is no server or the chosen sink is not there; MMSYSERR_ERROR
  // when the server did not answer in time (another library would wait on it without end).
  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;

  bool IsOpen() const { return open_; }
  // While open: the server went away and has not yet taken a new stream.
  bool Lost() const override { return lost_.load(std::memory_order_acquire); }
  // While open: keeps Render from running (returning once it is out), or lets it run again.
  // Only briefly: the server's other requests wait too.
  void HoldRender(bool hold);
  // While open: drops what the server holds of the stream but has not played.
  void DropQueued();
  // While open: what the server holds but has not played, from just ahead of the sample the
  // sink plays now, is taken back from the source and rendered again, so a change of the
  // source is heard within a few milliseconds however deep the queue. Returns at once; the
  // rewrite follows on the mainloop thread once the server has said where it is.
  void Requeue();
  // How far ahead of what the sink plays a rewrite starts: the time the server's answer and
  // our rewrite take on their way.
  static constexpr uint32_t RequeueMarginUs = 10000;
  // Times the server ran out of samples since the last Open.
  uint32_t Underruns() const { return underruns_.load(std::memory_order_relaxed); }

 private:
  using Step = PulseConnection::Step;
  // With the lock held:
  bool StartStream();
  void CloseStream();
  void OnConnectionChange();
  void OnStreamChange();
  void Retry();
  void Tell(Event event);
  void RenderAgain(const pa_timing_info& timing);

  static void Write(pa_stream* stream, std::size_t bytes, void* self);

  const std::string sink_;
  const Buffer buffer_;
  const std::string streamName_;
  Notice notice_;
  PulseConnection connection_;
  // Under the lock:
  pa_stream* stream_ = nullptr;
  PulseTimer retry_{connection_, [this] { Retry(); }};
  std::string sinkName_;  // the server's name of the sink found at Open
  uint32_t rate_ = 0;
  RenderSource* source_ = nullptr;  // read by Write
  bool open_ = false;               // set and cleared by the owner, under the lock
  bool requeueing_ = false;         // a timing update for a rewrite is on its way
  std::atomic<bool> lost_{false};
  std::atomic<uint32_t> underruns_{0};
};

}  // namespace zudorave
