#pragma once
// A wave input that records nothing and logs every call; tests hand buffers back by calling
// the target themselves.
#include <string>
#include <vector>

#include "platform/wave_in.h"

namespace zudorave::testing {

class FakeWaveIn : public WaveIn {
 public:
  std::vector<std::string> calls;
  MmResult openResult = MMSYSERR_NOERROR;
  MmResult startResult = MMSYSERR_NOERROR;
  MmResult addResult = MMSYSERR_NOERROR;
  WaveFormatEx openedFormat{};
  WimDataTarget* target = nullptr;
  WaveHdr* added = nullptr;  // the buffer the device holds
  int openDevices = 0;

  uint32_t GetNumDevs() override {
    calls.push_back("GetNumDevs");
    return 1;
  }
  MmResult Open(const WaveFormatEx& format, WimDataTarget* notify) override {
    calls.push_back("Open");
    if (openResult != MMSYSERR_NOERROR) return openResult;
    openedFormat = format;
    target = notify;
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
  MmResult AddBuffer(WaveHdr& header) override {
    calls.push_back("AddBuffer " + Describe(header));
    if (addResult == MMSYSERR_NOERROR) added = &header;
    return addResult;
  }
  MmResult Start() override {
    calls.push_back("Start");
    return startResult;
  }
  MmResult Stop() override {
    calls.push_back("Stop");
    return MMSYSERR_NOERROR;
  }
  MmResult Reset() override {
    calls.push_back("Reset");
    return MMSYSERR_NOERROR;
  }
  MmResult Close() override {
    calls.push_back("Close");
    if (openDevices > 0) --openDevices;
    target = nullptr;
    return MMSYSERR_NOERROR;
  }

  // Hands the held buffer back as the device would, with the bytes it recorded.
  void ReturnBuffer(uint32_t bytesRecorded) {
    WaveHdr* header = added;
    added = nullptr;
    header->dwBytesRecorded = bytesRecorded;
    header->dwFlags |= WHDR_DONE;
    target->OnWimData(*this, *header);
  }

  static std::string Describe(const WaveHdr& header) {
    return std::to_string(header.dwBufferLength) + " user " + std::to_string(header.dwUser) +
           " flags " + std::to_string(header.dwFlags) + " loops " + std::to_string(header.dwLoops);
  }
};

}  // namespace zudorave::testing
