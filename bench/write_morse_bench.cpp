// SPDX-License-Identifier: GPL-3.0-or-later
// zudorave --write-morse's speed: a lesson of 500 words keyed and written as WAV, FLAC and Ogg
// through the program's own code, with how many times faster than real time each goes.
//
//   write_morse_bench [FOLDER]   (the files go there, then are removed; /tmp by default)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/write_morse.h"
#include "platform/sndfile/sndfile_files.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  std::string text;
  const char* words[] = {"CQ", "DE", "DL1ABC", "PSE", "K", "RST", "599", "TNX", "73", "QTH"};
  for (int i = 0; i < 500; ++i) text += std::string(words[i % 10]) + " ";

  zudorave::SndfileFiles files;
  std::printf("%-6s %6s %9s %8s %10s\n", "format", "wpm", "audio s", "wall s", "x realtime");
  for (const int wpm : {12, 25}) {
    for (const char* ending : {"wav", "flac", "ogg"}) {
      const fs::path file =
          folder / ("write_morse_bench_" + std::to_string(getpid()) + "." + ending);
      zudorave::MorseFileRequest request{file.string(), text, "", wpm, 700, 0};
      const auto start = std::chrono::steady_clock::now();
      const int status = zudorave::WriteMorseFile(request, files, stderr);
      const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
      if (status != 0) return status;
      // 16-bit mono at 44100 Hz: the WAV's size gives the length; the others match it.
      const double audio =
          static_cast<double>(
              fs::file_size(folder / ("write_morse_bench_" + std::to_string(getpid()) + ".wav"))) /
          (2 * 44100.0);
      std::printf("%-6s %6d %9.1f %8.3f %10.0f\n", ending, wpm, audio, wall.count(),
                  audio / wall.count());
      if (std::string(ending) != "wav") fs::remove(file);
    }
    fs::remove(folder / ("write_morse_bench_" + std::to_string(getpid()) + ".wav"));
  }
  return 0;
}
