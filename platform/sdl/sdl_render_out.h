// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render output on SDL2: a device in callback mode whose callback is the source's Render.
// Threads: Open and Close on one thread (the user-interface thread); the callback runs on
// SDL's audio thread.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/render_out.h"
#include "platform/sdl/sdl_audio_device.h"

namespace zudorave {

class SdlRenderOut : public RenderOut {
 public:
  // Frames per callback. SDL asks PulseAudio for one callback's worth of latency in all and
  // refills only once that has nearly played, so this is both the way from a decision in the
  // callback to the speaker and the margin against underruns. On a shared two-core machine 512
  // (11.6 ms) keeps a paddle's sidetone at 15 ms median and 22 ms at the 95th percentile, and
  // still loses a 3 ms block about once in half a minute of keying; 1024 lost none but takes
  // 43 ms. On PulseAudio and PipeWire the keying side therefore plays through libpulse instead.
  static constexpr uint16_t CallbackFrames = 512;

  // audio must outlive this output; frames per callback other than the default are for
  // measuring.
  explicit SdlRenderOut(SdlAudio& audio, uint16_t frames = CallbackFrames)
      : audio_(audio), frames_(frames) {}
  ~SdlRenderOut() override;
  SdlRenderOut(const SdlRenderOut&) = delete;
  SdlRenderOut& operator=(const SdlRenderOut&) = delete;

  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;

  bool IsOpen() const { return device_ != nullptr; }

 private:
  static void Callback(void* self, Uint8* stream, int bytes);

  SdlAudio& audio_;
  const uint16_t frames_;
  std::unique_ptr<SdlAudioDevice> device_;
  // Set while the device is paused, so the callback always sees a source or none.
  std::atomic<RenderSource*> source_{nullptr};
};

}  // namespace zudorave
