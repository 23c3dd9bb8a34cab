// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The generator's output device straight on libpulse, for PulseAudio and PipeWire's PulseAudio
// server. The loop is queued far ahead and refilled in large requests, so the mainloop wakes
// seldom; on every change (a rewrite of the buffer, a new loop) what the server holds but has
// not played is rendered again, so the change reaches the sink within about 15 ms.
// Threads: one thread calls (the user-interface thread); the loop is rendered on libpulse's
// mainloop thread.
#include <string>

#include "platform/looping_wave_out.h"
#include "platform/pulse/pulse_render_out.h"

namespace zudorave {

class PulseWaveOut : public LoopingWaveOut {
 public:
  // The whole way from the loop to the sink, and the most asked for at a time: the second sets
  // how often the mainloop wakes (a short stream woke it 200 times a second, whatever it asked
  // for), the first how long the server can wait for us.
  static constexpr PulseRenderOut::Buffer DefaultBuffer{150000, 50000};

  // sink as PulseRenderOut takes it.
  explicit PulseWaveOut(std::string sink = {}, PulseRenderOut::Buffer buffer = DefaultBuffer)
      : out_(std::move(sink), buffer, "Tone generator") {}
  ~PulseWaveOut() override;
  PulseWaveOut(const PulseWaveOut&) = delete;
  PulseWaveOut& operator=(const PulseWaveOut&) = delete;

  // As PulseRenderOut::Open, for 16-bit mono only.
  MmResult Open(const WaveFormatEx& format) override;
  MmResult Close() override;

  bool IsOpen() const { return out_.IsOpen(); }
  uint32_t Underruns() const { return out_.Underruns(); }
  // As PulseRenderOut's: the server went away while open, and when it is back the loop plays
  // on where it is.
  void OnNotice(PulseRenderOut::Notice notice) { out_.OnNotice(std::move(notice)); }
  bool Lost() const { return out_.Lost(); }

 private:
  class Loop : public RenderSource {
   public:
    explicit Loop(PulseWaveOut& out) : out_(out) {}
    void Render(std::span<int16_t> samples) override { out_.RenderLoopInto(samples); }
    bool TakeBack(uint64_t samples) override { return out_.TakeBack(samples); }

   private:
    PulseWaveOut& out_;
  };

  bool DeviceOpen() const override { return IsOpen(); }
  void HoldRender(bool hold) override { out_.HoldRender(hold); }
  void Silence() override { out_.DropQueued(); }
  void Requeue() override { out_.Requeue(); }

  Loop loop_{*this};
  PulseRenderOut out_;
};

}  // namespace zudorave
