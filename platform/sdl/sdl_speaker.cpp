// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_speaker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <span>
#include <thread>

#include "platform/audio_format.h"
#include "platform/sdl/sdl_audio_device.h"

namespace zudorave {

namespace {

constexpr uint16_t BeepFrames = 1024;  // as the generator's output: short but not starved
constexpr double BeepAmplitude = 16000;

// Shared with the audio thread for one beep; outlives the device that reads it.
struct Tone {
  double step = 0;  // radians a sample
  uint32_t total = 0;
  std::atomic<uint32_t> played{0};
  std::atomic<bool> done{false};
};

void PlayTone(void* userdata, Uint8* stream, int bytes) {
  auto& tone = *static_cast<Tone*>(userdata);
  std::span out(reinterpret_cast<int16_t*>(stream), static_cast<std::size_t>(bytes) / 2);
  uint32_t n = tone.played.load(std::memory_order_relaxed);
  for (int16_t& sample : out) {
    sample = n < tone.total ? static_cast<int16_t>(BeepAmplitude * std::sin(tone.step * n)) : 0;
    if (n < tone.total) ++n;
  }
  tone.played.store(n, std::memory_order_relaxed);
  if (n == tone.total) tone.done.store(true, std::memory_order_release);
}

}  // namespace

void SdlSpeaker::Beep(uint32_t frequency, uint32_t milliseconds) {
  const auto length = std::chrono::milliseconds(milliseconds);
  const auto start = std::chrono::steady_clock::now();
  Tone tone;
  tone.step = 2 * std::numbers::pi * frequency / SampleRate;
  tone.total = static_cast<uint32_t>(uint64_t{SampleRate} * milliseconds / 1000);
  WaveFormatEx format{WAVE_FORMAT_PCM, 1, SampleRate, SampleRate * 2u, 2, 16, 0};
  SDL_AudioSpec wanted = *SdlFormatFor(format, BeepFrames);
  wanted.callback = &PlayTone;
  wanted.userdata = &tone;
  std::unique_ptr<SdlAudioDevice> device = SdlAudioDevice::Open(audio_, false, wanted);
  if (!device) {
    std::this_thread::sleep_until(start + length);
    return;
  }
  // A new stream starts unevenly; let it settle on silence so the whole tone is heard.
  const auto chunk = std::chrono::milliseconds(BeepFrames * 1000 / SampleRate);
  std::this_thread::sleep_for(2 * chunk);
  device->Pause(false);
  // Polled with a deadline rather than waited on: a stalled server must not hang the caller.
  const auto giveUp = std::chrono::steady_clock::now() + length + std::chrono::seconds(1);
  while (!tone.done.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  // The last callback's samples are still on their way to the speaker: let them play out.
  const auto drain = 3 * chunk;
  std::this_thread::sleep_until(std::max(start + length, std::chrono::steady_clock::now()) + drain);
}

void SdlSpeaker::MessageBeep(uint32_t /*type*/) {
  Beep(MessageBeepFrequency, MessageBeepMilliseconds);
}

}  // namespace zudorave
