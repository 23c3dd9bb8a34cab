// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The generator's output device straight on libpulse, for PulseAudio and PipeWire's PulseAudio
// server: the looped header played through a short stream refilled in small requests, as the
// keying side plays, so a rewrite of the buffer reaches the sink within about 15 ms.
// Threads: one thread calls (the user-interface thread); the loop is rendered on libpulse's
// mainloop thread.
#include <string>

#include "platform/looping_wave_out.h"
#include "platform/pulse/pulse_render_out.h"

namespace zudorave {

class PulseWaveOut : public LoopingWaveOut {
 public:
  // The whole way from the loop to the sink, and the most asked for at a time: a rewrite is
  // heard within the first, and the second sets how often the mainloop wakes.
  static constexpr PulseRenderOut::Buffer DefaultBuffer{15000, 5000};

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

   private:
    PulseWaveOut& out_;
  };

  bool DeviceOpen() const override { return IsOpen(); }
  void HoldRender(bool hold) override { out_.HoldRender(hold); }
  void Silence() override { out_.DropQueued(); }

  Loop loop_{*this};
  PulseRenderOut out_;
};

}  // namespace zudorave
