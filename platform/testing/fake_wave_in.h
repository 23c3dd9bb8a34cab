// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A wave input that records nothing and logs every call. It keeps the device's rules
// (tests/contracts/wave_in_contract.h): nothing but Open while closed, one Open at a time, and
// one prepared buffer held at a time: AddBuffer marks it in the queue, and it comes back (done,
// out of the queue) when the test says it is full or has this much in it, on Stop when
// something is recorded, and on Reset and Close always. Each buffer's notice is addressed to the
// target of that moment and waits until the test delivers it, so tests can run it late.
// openResult, startResult and addResult make those calls fail as a device can.
#include <deque>
#include <functional>
#include <memory>
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
  WaveHdr* added = nullptr;    // the buffer the device holds
  uint32_t bytesRecorded = 0;  // into the held buffer so far
  int openDevices = 0;

  uint32_t GetNumDevs() override {
    calls.push_back("GetNumDevs");
    return 1;
  }
  MmResult Open(const WaveFormatEx& format, WimDataTarget* notify) override {
    calls.push_back("Open");
    if (openDevices > 0) return MMSYSERR_ALLOCATED;
    const bool pcm = format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels > 0 &&
                     format.nSamplesPerSec > 0 &&
                     (format.wBitsPerSample == 8 || format.wBitsPerSample == 16);
    if (!pcm) return WAVERR_BADFORMAT;
    if (openResult != MMSYSERR_NOERROR) return openResult;
    openedFormat = format;
    target = notify;
    // Taken now, as the device does: a notice later finds out whether its target is gone.
    targetAlive_ = notify != nullptr ? notify->Liveness() : std::weak_ptr<const void>();
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
    if ((header.dwFlags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
  }
  MmResult AddBuffer(WaveHdr& header) override {
    calls.push_back("AddBuffer " + Describe(header));
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if (addResult != MMSYSERR_NOERROR) return addResult;
    if ((header.dwFlags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if (added != nullptr) return WAVERR_STILLPLAYING;
    added = &header;
    bytesRecorded = 0;
    header.dwBytesRecorded = 0;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    return MMSYSERR_NOERROR;
  }
  MmResult Start() override {
    calls.push_back("Start");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    return startResult;
  }
  MmResult Stop() override {
    calls.push_back("Stop");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if (added != nullptr && bytesRecorded > 0) ReturnBuffer(bytesRecorded);
    return MMSYSERR_NOERROR;
  }
  MmResult Reset() override {
    calls.push_back("Reset");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if (added != nullptr) ReturnBuffer(bytesRecorded);
    return MMSYSERR_NOERROR;
  }
  MmResult Close() override {
    calls.push_back("Close");
    if (openDevices == 0) return MMSYSERR_INVALHANDLE;
    if (added != nullptr) ReturnBuffer(bytesRecorded);
    --openDevices;
    target = nullptr;
    targetAlive_.reset();
    return MMSYSERR_NOERROR;
  }

  // Hands the held buffer back with the bytes it recorded (its length when it filled up), and
  // queues its notice.
  void ReturnBuffer(uint32_t bytes) {
    WaveHdr* header = added;
    added = nullptr;
    bytesRecorded = 0;
    header->dwBytesRecorded = bytes;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    notices_.push_back([this, to = target, alive = targetAlive_, header] {
      if (to != nullptr && !alive.expired()) to->OnWimData(*this, *header);
    });
  }
  // Runs the queued notices in order, as the user-interface thread would; returns how many.
  int DeliverNotices() {
    int delivered = 0;
    while (!notices_.empty()) {
      const std::function<void()> notice = std::move(notices_.front());
      notices_.pop_front();
      notice();
      ++delivered;
    }
    return delivered;
  }

  static std::string Describe(const WaveHdr& header) {
    return std::to_string(header.dwBufferLength) + " user " + std::to_string(header.dwUser) +
           " flags " + std::to_string(header.dwFlags) + " loops " + std::to_string(header.dwLoops);
  }

 private:
  std::weak_ptr<const void> targetAlive_;
  std::deque<std::function<void()>> notices_;
};

}  // namespace zudorave::testing
