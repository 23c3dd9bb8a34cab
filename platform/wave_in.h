// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound input device the microphone path records from, one buffer at a time.
#include <cstdint>
#include <memory>

#include "platform/wave_types.h"

namespace zudorave {

class WaveIn;

// Receives each buffer the device hands back (full, or partly filled on stop or reset), on
// the user-interface thread, as a queued call carrying the device and the header.
class WimDataTarget {
 public:
  WimDataTarget() = default;
  // A copy is another target, with a token of its own.
  WimDataTarget(const WimDataTarget& /*other*/) {}
  WimDataTarget& operator=(const WimDataTarget& /*other*/) { return *this; }
  virtual ~WimDataTarget() = default;
  virtual void OnWimData(WaveIn& device, WaveHdr& header) = 0;

  // Expires when the target is destroyed: a device drops a notice queued for a target that is
  // gone. Take it on the user-interface thread.
  std::weak_ptr<const void> Liveness() const { return alive_; }

 private:
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

class WaveIn {
 public:
  virtual ~WaveIn() = default;

  virtual uint32_t GetNumDevs() = 0;
  // Opens the default input device in the given format; returned buffers go to target.
  virtual MmResult Open(const WaveFormatEx& format, WimDataTarget* target) = 0;
  virtual MmResult PrepareHeader(WaveHdr& header) = 0;
  virtual MmResult UnprepareHeader(WaveHdr& header) = 0;
  // Gives the device the buffer to fill; the device holds at most one.
  virtual MmResult AddBuffer(WaveHdr& header) = 0;
  virtual MmResult Start() = 0;
  // Stop and Reset hand the buffer back with the bytes recorded so far (Stop keeps one with
  // nothing recorded yet); its notice is addressed to the target of the run it came from.
  virtual MmResult Stop() = 0;
  virtual MmResult Reset() = 0;
  virtual MmResult Close() = 0;
  // Samples (frames) the device could not record while recording, since the last Open, because
  // the sound server was away; where a device cannot tell, 0.
  virtual uint64_t MissedSamples() const { return 0; }
};

}  // namespace zudorave
