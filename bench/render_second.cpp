// SPDX-License-Identifier: GPL-3.0-or-later
// Renders one second of AF1 at 300 Hz, as the generator plays it, into a WAV file:
// the counterpart of "sox -n -r 44100 -b 16 -c 1 out.wav synth 1 sine 300".
#include <cstdint>
#include <cstdio>

#include "capture/capture_queue.h"
#include "platform/testing/fake_wave_out.h"
#include "synth/snd_tx.h"

namespace {

void PutLe(std::FILE* file, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zudorave;
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_second OUT.wav\n");
    return 2;
  }
  testing::FakeWaveOut device;
  CaptureQueue filled;
  SndTx tx(SndTx::InitialAf1Frequency, device, filled);
  tx.Mix(MixMode::Sum, Af1Bit);

  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return 1;
  const WaveFormatEx& f = tx.Format();
  const uint32_t dataBytes = tx.BufferLength();
  std::fputs("RIFF", file);
  PutLe(file, 36 + dataBytes, 4);
  std::fputs("WAVEfmt ", file);
  PutLe(file, 16, 4);
  PutLe(file, f.wFormatTag, 2);
  PutLe(file, f.nChannels, 2);
  PutLe(file, f.nSamplesPerSec, 4);
  PutLe(file, f.nAvgBytesPerSec, 4);
  PutLe(file, f.nBlockAlign, 2);
  PutLe(file, f.wBitsPerSample, 2);
  std::fputs("data", file);
  PutLe(file, dataBytes, 4);
  const bool written = std::fwrite(tx.OutputBuffer(), 1, dataBytes, file) == dataBytes;
  return std::fclose(file) == 0 && written ? 0 : 1;
}
