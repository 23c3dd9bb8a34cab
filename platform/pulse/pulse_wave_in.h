// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input device straight on libpulse, for PulseAudio and PipeWire's PulseAudio server: a
// record stream that delivers about 10 ms at a time into the one buffer the device holds, handed
// back to the target on the user-interface thread, full, or partly filled on Stop or Reset, as
// the SDL input does.
//
// When the server goes away while the input is open, the input stays open for its owner: it
// says so (Lost, and a notice), tries the server again every RetryEveryMs, and once the server
// answers records on into the buffer it holds. The samples the absence cost while recording are
// counted (MissedSamples), so a reader of the buffers can tell where they are not continuous.
//
// Threads: the user-interface thread calls, and runs the notices of returned buffers. The
// stream's data arrives on libpulse's mainloop thread with the mainloop's lock held, and so do
// the server notices; a notifier thread of the device's own posts the notice of a full buffer.
// Lost and MissedSamples from any thread.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/pulse/pulse_timer.h"
#include "platform/sample_tap.h"
#include "platform/ui_thread.h"
#include "platform/wake_thread.h"
#include "platform/wave_in.h"

struct pa_stream;

namespace zudorave {

class PulseWaveIn : public WaveIn {
 public:
  // What the server hands over at a time: short, so what is recorded reaches the buffer soon.
  static constexpr uint32_t FragmentUs = 10000;
  static constexpr uint32_t OpenWithinMs = PulseRenderOut::OpenWithinMs;
  static constexpr uint32_t RetryEveryMs = PulseRenderOut::RetryEveryMs;
  using Event = PulseRenderOut::Event;
  using Notice = PulseRenderOut::Notice;

  // source: the server's description of the source to record, as SDL names devices (sinks'
  // monitors are not among them); empty for the default source. ui must outlive the device.
  explicit PulseWaveIn(UiThread& ui, std::string source = {});
  ~PulseWaveIn() override;
  PulseWaveIn(const PulseWaveIn&) = delete;
  PulseWaveIn& operator=(const PulseWaveIn&) = delete;

  // Set before the first Open.
  void OnNotice(Notice notice) { notice_ = std::move(notice); }
  // Set before the first Open: hears what is recorded while recording, in 16-bit mono.
  void TapInto(SampleTap* tap) { tap_ = tap; }

  // The server's sources, monitors left out; 0 without a server.
  uint32_t GetNumDevs() override;
  // 8- or 16-bit PCM, one or two channels. MMSYSERR_NODRIVER when there is no server or the
  // chosen source is not there; MMSYSERR_ERROR when the server did not answer in time.
  MmResult Open(const WaveFormatEx& format, WimDataTarget* target) override;
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult AddBuffer(WaveHdr& header) override;
  MmResult Start() override;
  // As the SDL input's: Stop hands back a buffer with something recorded in it; Reset and Close
  // whatever the device holds, a full buffer whose notice has not run yet included. Each buffer
  // handed back has one notice, addressed to the target of the run it was recorded in.
  MmResult Stop() override;
  MmResult Reset() override;
  MmResult Close() override;
  // Samples (frames) the server's absence cost while recording, since the last Open: from the
  // loss to the new stream, at the stream's rate.
  uint64_t MissedSamples() const override { return missed_.load(std::memory_order_relaxed); }

  bool IsOpen() const { return open_; }
  // While open: the server went away and has not yet taken a new stream.
  bool Lost() const { return lost_.load(std::memory_order_acquire); }

 private:
  using Step = PulseConnection::Step;
  using Clock = std::chrono::steady_clock;

  // With the lock held:
  bool StartStream();
  void CloseStream();
  void Cork(bool corked);
  void Halt();  // stops recording
  void OnConnectionChange();
  void OnStreamChange();
  void Retry();
  void Lose();
  void EndGap();
  void Record(const std::byte* data, std::size_t bytes);
  WaveHdr* TakePartial();
  static void Read(pa_stream* stream, std::size_t bytes, void* self);

  // On the user-interface thread:
  MmResult HandBack(bool evenEmpty);
  WaveHdr* TakeFull();
  void GiveBack(WaveHdr& header, uint32_t bytes);
  void PostNotice(WaveHdr& header);
  void CollectFull();
  void PostFull();  // on the notifier thread

  UiThread& ui_;
  const std::string source_;
  Notice notice_;
  SampleTap* tap_ = nullptr;
  // User-interface thread only:
  WimDataTarget* target_ = nullptr;
  std::weak_ptr<const void> targetAlive_;
  WaveHdr* held_ = nullptr;  // added and not yet given back
  // Under the lock:
  pa_stream* stream_ = nullptr;
  PulseTimer retry_{connection_, [this] { Retry(); }};
  std::string sourceName_;  // the server's name of the source found at Open
  WaveFormatEx format_{};
  bool open_ = false;            // set and cleared by the owner, under the lock
  bool recording_ = false;       // between Start and Stop, Reset or Close
  Clock::time_point gapFrom_{};  // while lost and recording: since when nothing arrives
  bool inGap_ = false;
  WaveHdr* filling_ = nullptr;
  std::byte* data_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t recorded_ = 0;
  // A full buffer, left by the mainloop thread for the user-interface thread to collect.
  std::atomic<WaveHdr*> full_{nullptr};
  std::atomic<uint32_t> fullBytes_{0};
  std::atomic<bool> lost_{false};
  std::atomic<uint64_t> missed_{0};

  // Queued notices check this on the user-interface thread before touching the device.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  PulseConnection connection_;                   // stopped before anything above goes
  WakeThread notifier_{[this] { PostFull(); }};  // last: joined first
};

}  // namespace zudorave
