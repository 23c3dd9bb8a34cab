#pragma once
// The keying side's own playback: a device of its own looping a buffer of its own, so that
// keying never touches the generator's loop and the sound server mixes the two.
// User-interface thread only.
#include <cstdint>
#include <optional>

#include "platform/memory_block.h"
#include "platform/wave_out.h"
#include "platform/wave_types.h"
#include "synth/playback_port.h"

namespace zudorave {

class KeyingTx {
 public:
  // device outlives this object. Without memory for the buffer the device never opens.
  explicit KeyingTx(WaveOut& device, const BlockAllocator& allocate = AllocateBlock);
  KeyingTx(const KeyingTx&) = delete;
  KeyingTx& operator=(const KeyingTx&) = delete;

  // As the generator's: open with a prepared loop of ms (not written), stop, close.
  bool OpenSndTx(int32_t ms) { return port_->Open(ms); }
  void StopSndTx() { port_->Stop(); }
  bool CloseSndTx() { return port_->Close(); }

  bool DeviceOpen() const { return port_->IsOpen(); }
  const WaveHdr* Header() const { return header_; }
  const int16_t* Samples() const { return reinterpret_cast<const int16_t*>(sampleBlock_.get()); }

 private:
  WaveOut& device_;
  WaveFormatEx format_{};
  MemoryBlock sampleBlock_;  // one second, silent
  MemoryBlock headerBlock_;
  WaveHdr* header_ = nullptr;
  std::optional<PlaybackPort> port_;  // last: closed before the blocks go
};

}  // namespace zudorave
