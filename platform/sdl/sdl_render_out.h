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
  // Frames per callback. SDL asks PulseAudio for about one callback's worth of buffer, so this
  // sets the way from a decision in the callback to the speaker: 256 frames (5.8 ms) keep a
  // paddle's sidetone well inside 25 ms. bench/keying_bench checks it holds without dropouts
  // while both cores are busy.
  static constexpr uint16_t CallbackFrames = 256;

  // audio must outlive this output.
  explicit SdlRenderOut(SdlAudio& audio) : audio_(audio) {}
  ~SdlRenderOut() override;
  SdlRenderOut(const SdlRenderOut&) = delete;
  SdlRenderOut& operator=(const SdlRenderOut&) = delete;

  MmResult Open(const WaveFormatEx& format, RenderSource& source) override;
  MmResult Close() override;

  bool IsOpen() const { return device_ != nullptr; }

 private:
  static void Callback(void* self, Uint8* stream, int bytes);

  SdlAudio& audio_;
  std::unique_ptr<SdlAudioDevice> device_;
  // Set while the device is paused, so the callback always sees a source or none.
  std::atomic<RenderSource*> source_{nullptr};
};

}  // namespace zudorave
