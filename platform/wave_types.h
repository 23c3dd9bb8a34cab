// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Our counterparts of the waveform-audio records, with the same fields and values,
// so that the numbers the program sets stay visible and testable.
#include <cstdint>

namespace zudorave {

using MmResult = uint32_t;
inline constexpr MmResult MMSYSERR_NOERROR = 0;
inline constexpr MmResult MMSYSERR_ERROR = 1;
inline constexpr MmResult MMSYSERR_INVALHANDLE = 5;
inline constexpr MmResult MMSYSERR_NODRIVER = 6;
inline constexpr MmResult MMSYSERR_ALLOCATED = 4;
inline constexpr MmResult WAVERR_BADFORMAT = 32;
inline constexpr MmResult WAVERR_STILLPLAYING = 33;
inline constexpr MmResult WAVERR_UNPREPARED = 34;

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WaveFormatEx {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
};

inline constexpr uint32_t WHDR_DONE = 0x01;
inline constexpr uint32_t WHDR_PREPARED = 0x02;
inline constexpr uint32_t WHDR_BEGINLOOP = 0x04;
inline constexpr uint32_t WHDR_ENDLOOP = 0x08;
inline constexpr uint32_t WHDR_INQUEUE = 0x10;

struct WaveHdr {
  char* lpData = nullptr;
  uint32_t dwBufferLength = 0;
  uint32_t dwBytesRecorded = 0;
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
  uint32_t dwLoops = 0;
  WaveHdr* lpNext = nullptr;
  uintptr_t reserved = 0;
};

}  // namespace zudorave
