// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying side's output. Where SDL plays through PulseAudio or PipeWire, both of which serve
// libpulse, the sidetone gets a libpulse stream of its own: short, but refilled in small steps,
// so a late thread does not break it up. Anywhere else, or when that stream cannot open, it
// plays through SDL like the other devices.
// Threads: as RenderOut.
#include <atomic>
#include <string>

#include "platform/output_level.h"
#include "platform/pulse/pulse_render_out.h"
#include "platform/render_out.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_render_out.h"

namespace zudorave {

class KeyingOutput : public RenderOut {
 public:
  // audio must outlive it; device is SDL's name of the chosen output, empty for the default.
  // Whichever output is open closes as it goes.
  // notice hears, on libpulse's thread, when the server goes away under the open stream and
  // when it is back.
  // level, when given, outlives it: the sidetone plays at it.
  KeyingOutput(SdlAudio& audio, const std::string& device, PulseRenderOut::Notice notice = {},
               OutputLevel* level = nullptr);

  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;
  bool Lost() const override;

 private:
  SdlAudio& audio_;
  PulseRenderOut pulse_;
  SdlRenderOut sdl_;
  // Written by Open and Close; Lost reads it from the keyer's timer thread.
  std::atomic<RenderOut*> open_{nullptr};
  // The source at the level, between Open and Close.
  class Levelled : public RenderSource {
   public:
    void Render(std::span<int16_t> out) override;
    RenderSource* source = nullptr;
    OutputLevel* level = nullptr;
  } levelled_;
};

}  // namespace zudorave
