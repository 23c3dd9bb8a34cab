// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The generator's output device. Where SDL plays through PulseAudio or PipeWire, the loop gets
// a libpulse stream of its own that renders its queue again on every change, so a change is
// heard within about 15 ms rather than SDL's 40 or more; anywhere else, or when that stream
// finds no server, it plays through SDL.
// Threads: as WaveOut.
#include <string>

#include "platform/pulse/pulse_wave_out.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_wave_out.h"
#include "platform/wave_out.h"

namespace zudorave {

class GeneratorOutput : public WaveOut {
 public:
  // audio must outlive it; device is SDL's name of the chosen output, empty for the default.
  // Whichever device is open closes as it goes.
  // notice hears, on libpulse's thread, when the server goes away under the open stream and
  // when it is back.
  // level, when given, outlives it: the loop plays at it, and a new level is a change.
  GeneratorOutput(SdlAudio& audio, const std::string& device, PulseRenderOut::Notice notice = {},
                  OutputLevel* level = nullptr);
  ~GeneratorOutput() override;
  GeneratorOutput(const GeneratorOutput&) = delete;
  GeneratorOutput& operator=(const GeneratorOutput&) = delete;

  MmResult Open(const WaveFormatEx& format) override;
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult Write(WaveHdr& header) override;
  MmResult Reset() override;
  MmResult Close() override;
  void BufferChanged() override {
    if (open_) open_->BufferChanged();
  }

 private:
  SdlAudio& audio_;
  OutputLevel* level_;
  PulseWaveOut pulse_;
  SdlWaveOut sdl_;
  WaveOut* open_ = nullptr;
};

}  // namespace zudorave
