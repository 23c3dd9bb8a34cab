// SPDX-License-Identifier: GPL-3.0-or-later
// Made-up Morse for the receive test, and the judge of its copy:
//   morse_wave write FILE SEED     writes 16-bit mono samples at 44100 Hz, prints the text sent
//   morse_wave cer EXPECTED COPY   status 0 when the copy's error rate is at most 2 %
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "receive/testing/morse_signal.h"

using namespace zudorave::testing;

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
    SignalRecipe recipe;
    recipe.sampleRate = 44100;
    recipe.wpm = 24;
    recipe.pitchHz = 750;
    recipe.snrDb = 20;
    recipe.words = 6;
    recipe.seed = static_cast<uint32_t>(std::atoi(argv[3]));
    const TestSignal signal = MakeSignal(recipe);
    std::vector<int16_t> pcm;
    for (const float sample : signal.samples) pcm.push_back(static_cast<int16_t>(sample * 16000));
    std::ofstream(argv[2], std::ios::binary)
        .write(reinterpret_cast<const char*>(pcm.data()),
               static_cast<std::streamsize>(pcm.size() * sizeof(int16_t)));
    std::puts(signal.expected.c_str());
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "cer") == 0) {
    const double rate = CharacterErrorRate(argv[3], argv[2]);
    std::printf("sent: %s\nread: %s\nCER %.3f\n", argv[2], argv[3], rate);
    return rate <= 0.02 ? 0 : 1;
  }
  std::fputs("usage: morse_wave write FILE SEED | cer EXPECTED COPY\n", stderr);
  return 2;
}
