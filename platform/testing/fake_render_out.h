// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A render output whose audio thread is the test: Pump asks the source for samples in blocks,
// as a device's callbacks would, and keeps what it rendered. Every block handed to the source
// starts out as garbage, as a device's buffer does, so a source that leaves samples unwritten
// shows. Nothing renders while closed. It records Open and Close with their numbers, and keeps
// the device's rules (tests/contracts/render_out_contract.h); openResult makes Open fail as a
// device can.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_out.h"

namespace zudorave::testing {

class FakeRenderOut : public RenderOut {
 public:
  static constexpr int16_t Garbage = 0x5a5a;

  std::vector<std::string> calls;
  MmResult openResult = MMSYSERR_NOERROR;
  WaveFormatEx openedFormat{};
  int openDevices = 0;  // opened and not yet closed
  std::vector<int16_t> played;
  // Set by the test as the sound server going away would; read from any thread.
  std::atomic<bool> lost{false};

  MmResult Open(const WaveFormatEx& format, RenderSource& source) override {
    calls.push_back("Open " + std::to_string(format.nSamplesPerSec));
    if (source_ != nullptr) return MMSYSERR_ALLOCATED;
    if (format.nChannels != 1 || format.wBitsPerSample != 16) return WAVERR_BADFORMAT;
    if (openResult != MMSYSERR_NOERROR) return openResult;
    openedFormat = format;
    source_ = &source;
    ++openDevices;
    return MMSYSERR_NOERROR;
  }
  MmResult Close() override {
    calls.push_back("Close");
    if (source_ == nullptr) return MMSYSERR_INVALHANDLE;
    source_ = nullptr;
    --openDevices;
    return MMSYSERR_NOERROR;
  }

  bool Lost() const override { return lost.load(); }

  // Renders samples in blocks of at most block; false, rendering nothing, while closed.
  bool Pump(std::size_t samples, std::size_t block = 256) {
    if (source_ == nullptr) return false;
    while (samples > 0) {
      const std::size_t n = std::min(samples, block);
      const std::size_t at = played.size();
      played.resize(at + n, Garbage);
      source_->Render(std::span(played).subspan(at, n));
      samples -= n;
    }
    return true;
  }

 private:
  RenderSource* source_ = nullptr;
};

}  // namespace zudorave::testing
