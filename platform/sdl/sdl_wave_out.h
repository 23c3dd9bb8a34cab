#pragma once
// The output device on SDL2: plays the one header it is given straight from the caller's
// buffer, looping it and reading its current content on every pass.
// Threads: one thread calls (the user-interface thread); the callback runs on SDL's.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/sdl/loop_render.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/wave_out.h"

namespace zudorave {

class SdlWaveOut : public WaveOut {
 public:
  // Frames per callback. SDL asks PulseAudio for about one callback's worth of buffer, so
  // this is both the way from a rewrite to the speaker and the margin against underruns:
  // 512 frames broke up on a busy machine, 1024 (23 ms) holds and keeps a rewrite under 60 ms.
  static constexpr uint16_t CallbackFrames = 1024;

  // audio must outlive this device.
  explicit SdlWaveOut(SdlAudio& audio) : audio_(audio) {}
  ~SdlWaveOut() override;
  SdlWaveOut(const SdlWaveOut&) = delete;
  SdlWaveOut& operator=(const SdlWaveOut&) = delete;

  MmResult Open(const WaveFormatEx& format) override;
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult Write(WaveHdr& header) override;
  MmResult Reset() override;
  MmResult Close() override;

  bool IsOpen() const { return device_ != nullptr; }

 private:
  static void Callback(void* self, Uint8* stream, int bytes);
  bool Finished() const { return passesLeft_.load(std::memory_order_acquire) == 0; }
  void Release();

  SdlAudio& audio_;
  std::unique_ptr<SdlAudioDevice> device_;
  WaveHdr* playing_ = nullptr;  // the header written and not yet released

  // The audio thread's view, set while the device is paused.
  std::atomic<int16_t*> samples_{nullptr};
  std::atomic<uint32_t> sampleCount_{0};
  std::atomic<uint32_t> position_{0};
  std::atomic<uint32_t> passesLeft_{0};
};

}  // namespace zudorave
