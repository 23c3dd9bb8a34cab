// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input device on SDL2: records into the one buffer it holds and hands it back to the
// target on the user-interface thread, full, or partly filled on Stop or Reset.
// Threads: the user-interface thread calls, and runs the notices; the callback runs on SDL's
// audio thread, and a notifier thread of the device's own posts the notice of a full buffer.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/sample_tap.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/ui_thread.h"
#include "platform/wake_thread.h"
#include "platform/wave_in.h"

namespace zudorave {

class SdlWaveIn : public WaveIn {
 public:
  static constexpr uint16_t CallbackFrames = 1024;

  // audio and ui must outlive this device.
  SdlWaveIn(SdlAudio& audio, UiThread& ui);
  ~SdlWaveIn() override;
  SdlWaveIn(const SdlWaveIn&) = delete;
  SdlWaveIn& operator=(const SdlWaveIn&) = delete;

  // Set before the first Open: hears what is recorded while recording, in 16-bit mono.
  void TapInto(SampleTap* tap) { tap_ = tap; }

  uint32_t GetNumDevs() override;
  MmResult Open(const WaveFormatEx& format, WimDataTarget* target) override;
  MmResult PrepareHeader(WaveHdr& header) override;
  MmResult UnprepareHeader(WaveHdr& header) override;
  MmResult AddBuffer(WaveHdr& header) override;
  MmResult Start() override;
  // Stop hands back a buffer with something recorded in it; Reset and Close hand back whatever
  // the device holds, a full buffer whose notice has not run yet included, so when they return
  // the device holds nothing. Each buffer handed back has one notice, addressed to the target
  // of the run it was recorded in; Close forgets the target.
  MmResult Stop() override;
  MmResult Reset() override;
  MmResult Close() override;

 private:
  static void Callback(void* self, Uint8* stream, int bytes);
  void Record(const Uint8* stream, uint32_t bytes);
  void PostFull();     // on the notifier thread
  void CollectFull();  // a posted call: the full buffer comes back and its notice runs
  WaveHdr* TakePartial();
  WaveHdr* TakeFull();
  void GiveBack(WaveHdr& header, uint32_t bytes);
  void PostNotice(WaveHdr& header);

  SdlAudio& audio_;
  UiThread& ui_;
  SampleTap* tap_ = nullptr;
  // Whether the open device records 16-bit mono, which the tap takes.
  std::atomic<bool> tapFormat_{false};
  std::unique_ptr<SdlAudioDevice> device_;
  // User-interface thread only.
  WimDataTarget* target_ = nullptr;
  std::weak_ptr<const void> targetAlive_;
  WaveHdr* held_ = nullptr;  // added and not yet given back

  // The audio thread's view of the held buffer, handed over with the callback kept out.
  std::atomic<WaveHdr*> filling_{nullptr};
  std::atomic<std::byte*> data_{nullptr};
  std::atomic<uint32_t> capacity_{0};
  std::atomic<uint32_t> recorded_{0};
  // A full buffer, left by the audio thread for the user-interface thread to collect.
  std::atomic<WaveHdr*> full_{nullptr};
  std::atomic<uint32_t> fullBytes_{0};

  // Queued notices check this on the user-interface thread before touching the device.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  WakeThread notifier_{[this] { PostFull(); }};  // last: joined first
};

}  // namespace zudorave
