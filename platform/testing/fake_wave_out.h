#pragma once
// A wave output that plays nothing and records every call with the numbers it was given.
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
  int openDevices = 0;  // opened and not yet closed

  MmResult Open(const WaveFormatEx& format) override {
    calls.push_back("Open " + std::to_string(format.nSamplesPerSec));
    if (openResult != MMSYSERR_NOERROR) return openResult;
    openedFormat = format;
    ++openDevices;
    return MMSYSERR_NOERROR;
  }
  MmResult PrepareHeader(WaveHdr& header) override {
    calls.push_back("Prepare " + Describe(header));
    header.dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MmResult UnprepareHeader(WaveHdr& header) override {
    calls.push_back("Unprepare");
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MmResult Write(WaveHdr& header) override {
    calls.push_back("Write " + Describe(header));
    return writeResult;
  }
  MmResult Reset() override {
    calls.push_back("Reset");
    return MMSYSERR_NOERROR;
  }
  MmResult Close() override {
    calls.push_back("Close");
    if (openDevices > 0) --openDevices;
    return closeResult;
  }

  static std::string Describe(const WaveHdr& header) {
    return std::to_string(header.dwBufferLength) + " flags " +
           std::to_string(header.dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) + " loops " +
           std::to_string(header.dwLoops);
  }
};

}  // namespace zudorave::testing
