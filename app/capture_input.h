// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input device. Where SDL runs on PulseAudio or PipeWire, the capture records on a libpulse
// stream of its own, so SDL opens no sound device on that server; anywhere else, or when that
// stream finds no server, it records through SDL.
// Threads: as WaveIn.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/pulse/pulse_wave_in.h"
#include "platform/sample_tap.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_wave_in.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"

namespace zudorave {

class CaptureInput : public WaveIn {
 public:
  // Hears, on libpulse's thread, when the server goes away under the open stream and when it
  // is back, with the samples missed so far in the run.
  using Notice = std::function<void(PulseWaveIn::Event event, uint64_t missedSamples)>;

  // audio and ui must outlive it; device is SDL's name of the chosen input, empty for the
  // default. Whichever device is open closes as it goes. tap, when given, outlives it and
  // hears every sample recorded.
  CaptureInput(SdlAudio& audio, UiThread& ui, const std::string& device, Notice notice = {},
               SampleTap* tap = nullptr);

  // The inputs --list-devices names.
  uint32_t GetNumDevs() override;
  MmResult Open(const WaveFormatEx& format, WimDataTarget* target) override;
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult AddBuffer(WaveHdr& header) override;
  MmResult Start() override;
  MmResult Stop() override;
  MmResult Reset() override;
  MmResult Close() override;
  // The device opened last.
  uint64_t MissedSamples() const override;

 private:
  SdlAudio& audio_;
  PulseWaveIn pulse_;
  SdlWaveIn sdl_;
  WaveIn* open_ = nullptr;
  const WaveIn* last_ = nullptr;
};

}  // namespace zudorave
