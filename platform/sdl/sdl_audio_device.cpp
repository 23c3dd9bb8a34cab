// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_audio_device.h"

namespace zudorave {

std::optional<SDL_AudioSpec> SdlFormatFor(const WaveFormatEx& format, uint16_t frames) {
  if (format.wFormatTag != WAVE_FORMAT_PCM) return std::nullopt;
  if (format.nChannels < 1 || format.nChannels > 2) return std::nullopt;
  if (format.nSamplesPerSec == 0) return std::nullopt;
  SDL_AudioSpec wanted{};
  switch (format.wBitsPerSample) {
    case 8:
      wanted.format = AUDIO_U8;
      break;
    case 16:
      wanted.format = AUDIO_S16LSB;
      break;
    default:
      return std::nullopt;
  }
  wanted.freq = static_cast<int>(format.nSamplesPerSec);
  wanted.channels = static_cast<Uint8>(format.nChannels);
  wanted.samples = frames;
  return wanted;
}

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open(SdlAudio& audio, bool capture,
                                                     const SDL_AudioSpec& wanted) {
  SDL_AudioSpec obtained{};
  const SDL_AudioDeviceID id = audio.Open(capture, wanted, obtained);
  if (id == 0) return nullptr;
  return std::unique_ptr<SdlAudioDevice>(new SdlAudioDevice(audio, id, obtained));
}

SdlAudioDevice::SdlAudioDevice(SdlAudio& audio, SDL_AudioDeviceID id, const SDL_AudioSpec& obtained)
    : audio_(audio), id_(id), obtained_(obtained) {}

SdlAudioDevice::~SdlAudioDevice() { audio_.Close(id_); }

void SdlAudioDevice::Pause(bool paused) { SDL_PauseAudioDevice(id_, paused ? 1 : 0); }

void SdlAudioDevice::Lock() { SDL_LockAudioDevice(id_); }

void SdlAudioDevice::Unlock() { SDL_UnlockAudioDevice(id_); }

}  // namespace zudorave
