#include "synth/keying_tx.h"

#include <new>

#include "platform/audio_format.h"

namespace zudorave {

KeyingTx::KeyingTx(WaveOut& device, const BlockAllocator& allocate) : device_(device) {
  format_.wFormatTag = WAVE_FORMAT_PCM;
  format_.nChannels = 1;
  format_.nSamplesPerSec = SampleRate;
  format_.wBitsPerSample = BitsPerSample;
  format_.nBlockAlign = BitsPerSample / 8;
  format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
  sampleBlock_ = allocate(PlayBufferBytes);
  headerBlock_ = sampleBlock_ ? allocate(sizeof(WaveHdr)) : MemoryBlock{};
  if (headerBlock_) {
    header_ = new (headerBlock_.get()) WaveHdr{};
    header_->lpData = reinterpret_cast<char*>(sampleBlock_.get());
  }
  port_.emplace(device_, format_, header_);
}

}  // namespace zudorave
