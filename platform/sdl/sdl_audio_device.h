#pragma once
// One open SDL audio device with the audio subsystem it needs, closed in reverse order of
// opening. Closing waits until the device's callback is out, so whatever the callback reads
// may be released right after.
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/wave_types.h"

namespace zudorave {

// SDL's description of one of our formats, or nothing when it is not 8- or 16-bit PCM.
std::optional<SDL_AudioSpec> SdlFormatFor(const WaveFormatEx& format, uint16_t frames);

// Holds one reference on SDL's audio subsystem; SDL counts them.
class SdlAudioSubsystem {
 public:
  SdlAudioSubsystem();
  ~SdlAudioSubsystem();
  SdlAudioSubsystem(const SdlAudioSubsystem&) = delete;
  SdlAudioSubsystem& operator=(const SdlAudioSubsystem&) = delete;
  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
};

class SdlAudioDevice {
 public:
  // Opens the default device, paused, in exactly the format asked for (SDL converts when the
  // server wants another); null when there is no server or device.
  static std::unique_ptr<SdlAudioDevice> OpenDefault(bool capture, const SDL_AudioSpec& wanted);
  ~SdlAudioDevice();
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

  // Pausing returns only once the callback is out; a paused output device plays silence.
  void Pause(bool paused);
  // Keeps the callback out while held, for a hand-over that spans several fields.
  void Lock();
  void Unlock();
  const SDL_AudioSpec& Obtained() const { return obtained_; }

 private:
  SdlAudioDevice(std::unique_ptr<SdlAudioSubsystem> subsystem, SDL_AudioDeviceID id,
                 const SDL_AudioSpec& obtained);

  std::unique_ptr<SdlAudioSubsystem> subsystem_;
  SDL_AudioDeviceID id_;
  SDL_AudioSpec obtained_;
};

}  // namespace zudorave
