// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A wave output that plays nothing and records every call with the numbers it was given. It
// keeps the device's rules (tests/contracts/wave_out_contract.h): nothing but Open while
// closed, one Open at a time, a Write only of a prepared header and only one playing, no
// Unprepare of a header still playing. A written header plays until Reset or Close, as a loop
// of a second played 10000 times would. openResult and writeResult make those calls fail as a
// device can; closeResult is what Close reports, the device being closed all the same.
#include <string>
#include <vector>

#include "platform/wave_out.h"

namespace zudorave::testing {

class FakeWaveOut : public WaveOut {
 public:
  std::vector<std::string> calls;
  MmResult openResult = MMSYSERR_NOERROR;
  MmResult writeResult = MMSYSERR_NOERROR;
  MmResult closeResult = MMSYSERR_NOERROR;
  WaveFormatEx openedFormat{};
  int openDevices = 0;  // opened and not yet closed: 0 or 1

  MmResult Open(const WaveFormatEx& format) override {
    calls.push_back("Open " + std::to_string(format.nSamplesPerSec));
    if (openDevices > 0) return MMSYSERR_ALLOCATED;
    if (format.nChannels != 1 || format.wBitsPerSample != 16) return WAVERR_BADFORMAT;
    if (openResult != MMSYSERR_NOERROR) return openResult;
    openedFormat = format;
    ++openDevices;
    return MMSYSERR_NOERROR;
  }
  MmResult PrepareHeader(WaveHdr& header) override {
    calls.push_back("Prepare " + Describe(header));
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    header.dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MmResult UnprepareHeader(WaveHdr& header) override {
    calls.push_back("Unprepare");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if (&header == playing_) return WAVERR_STILLPLAYING;
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MmResult Write(WaveHdr& header) override {
    calls.push_back("Write " + Describe(header));
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if (playing_ != nullptr && playing_ != &header) return WAVERR_STILLPLAYING;
    if (writeResult != MMSYSERR_NOERROR) return writeResult;
    playing_ = &header;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    return MMSYSERR_NOERROR;
  }
  MmResult Reset() override {
    calls.push_back("Reset");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    Release();
    return MMSYSERR_NOERROR;
  }
  MmResult Close() override {
    calls.push_back("Close");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    Release();
    --openDevices;
    return closeResult;
  }

  static std::string Describe(const WaveHdr& header) {
    return std::to_string(header.dwBufferLength) + " flags " +
           std::to_string(header.dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) + " loops " +
           std::to_string(header.dwLoops);
  }

 private:
  // The header playing comes back done.
  void Release() {
    if (playing_ == nullptr) return;
    playing_->dwFlags = (playing_->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    playing_ = nullptr;
  }

  WaveHdr* playing_ = nullptr;
};

}  // namespace zudorave::testing
