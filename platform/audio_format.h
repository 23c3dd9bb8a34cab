// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one audio format of the program: 16-bit mono PCM at 44100 samples per second.
// Both synth/ and capture/ include this, so it lives below both.
#include <cstdint>

namespace zudorave {

inline constexpr uint16_t SampleRate = 44100;
inline constexpr uint8_t BytesPerSample = 2;
inline constexpr uint8_t BitsPerSample = 16;
// Both buffers are the rate doubled (not rate x BytesPerSample); with these constants they agree.
inline constexpr int32_t PlayBufferBytes = SampleRate << 1;
inline constexpr int32_t CaptureBufferBytes = SampleRate << 1;

}  // namespace zudorave
