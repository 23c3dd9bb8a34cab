// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output device on SDL2: plays the one header it is given straight from the caller's
// buffer, looping it and reading its current content on every pass.
// Threads: one thread calls (the user-interface thread); the callback runs on SDL's.
#include <cstdint>
#include <memory>

#include "platform/looping_wave_out.h"
#include "platform/sdl/sdl_audio_device.h"

namespace zudorave {

class SdlWaveOut : public LoopingWaveOut {
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
  MmResult Close() override;

  bool IsOpen() const { return device_ != nullptr; }

 private:
  bool DeviceOpen() const override { return IsOpen(); }
  void HoldRender(bool hold) override;
  void Silence() override { device_->Pause(true); }
  static void Callback(void* self, Uint8* stream, int bytes);

  SdlAudio& audio_;
  std::unique_ptr<SdlAudioDevice> device_;
};

}  // namespace zudorave
