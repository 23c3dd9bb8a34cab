// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of what the sink received against what the generator must play.
//   loop_check REC.raw contains MODE MASK   the rendered second (AF1 300, AF2 2400, AF3 15000 Hz)
//                                           appears whole, bit for bit
//   loop_check REC.raw silent-tail SECONDS  the recording ends in that much silence
//   loop_check REC.raw tones HZ...          the last sounds heard are tones of these pitches,
//                                           in this order, each at least 30 ms long
//   loop_check REC.raw morse TEXT           the sounds, read as Morse by a table of its own,
//                                           spell TEXT (letters and digits, spaces for words)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "capture/capture_queue.h"
#include "platform/testing/fake_wave_out.h"
#include "synth/snd_tx.h"
#include "tests/sound_server/signal_match.h"

namespace {

using namespace zudorave;

std::vector<int16_t> ReadSamples(const char* path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  std::vector<int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                      (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return samples;
}

std::vector<int16_t> Rendered(uint32_t mode, int32_t mask) {
  testing::FakeWaveOut device;
  CaptureQueue filled;
  SndTx tx(SndTx::InitialAf1Frequency, device, filled);
  tx.Mix(static_cast<MixMode>(mode), mask);
  return {tx.OutputBuffer(), tx.OutputBuffer() + SndTx::SampleCount};
}

int Contains(const std::vector<int16_t>& recording, uint32_t mode, int32_t mask) {
  const auto second = Rendered(mode, mask);
  const std::size_t at = testing::FindWhole(recording, second);
  if (at == testing::NotFound) {
    std::printf("FAIL: mode %u mask %d: the rendered second is not in the %zu recorded samples\n",
                mode, mask, recording.size());
    return 1;
  }
  const std::size_t run = testing::MatchingRun(recording, at, second);
  std::printf("mode %u mask %d: found at sample %zu, %zu samples match\n", mode, mask, at, run);
  return 0;
}

int Tones(const std::vector<int16_t>& recording, const std::vector<double>& pitches) {
  // Sounds are apart when at least 5 ms of silence lies between them.
  auto stretches = testing::SoundStretches(recording, SampleRate / 200);
  std::erase_if(stretches, [](const testing::Stretch& s) { return s.Length() < SampleRate / 33; });
  if (stretches.size() < pitches.size()) {
    std::printf("FAIL: %zu sounds heard, %zu wanted\n", stretches.size(), pitches.size());
    return 1;
  }
  int failures = 0;
  const std::size_t first = stretches.size() - pitches.size();
  for (std::size_t i = 0; i < pitches.size(); ++i) {
    const testing::Stretch& heard = stretches[first + i];
    const double pitch =
        testing::ZeroCrossingFrequency(std::span(recording).subspan(heard.begin, heard.Length()));
    const bool close = std::abs(pitch - pitches[i]) <= pitches[i] * 0.05;
    std::printf("%s: %.0f Hz for %.0f ms, %.0f Hz wanted\n", close ? "ok" : "FAIL", pitch,
                static_cast<double>(heard.Length()) * 1000.0 / SampleRate, pitches[i]);
    failures += close ? 0 : 1;
  }
  return failures == 0 ? 0 : 1;
}

// Reads the sounds as Morse the way an operator would: the shortest sound is a dot, anything
// twice as long a dash; a silence of two dots ends a character, of five a word.
int Morse(const std::vector<int16_t>& recording, const std::string& wanted) {
  static const std::map<std::string, char> code = {
      {".-", 'A'},    {"-...", 'B'},  {"-.-.", 'C'},  {"-..", 'D'},   {".", 'E'},
      {"..-.", 'F'},  {"--.", 'G'},   {"....", 'H'},  {"..", 'I'},    {".---", 'J'},
      {"-.-", 'K'},   {".-..", 'L'},  {"--", 'M'},    {"-.", 'N'},    {"---", 'O'},
      {".--.", 'P'},  {"--.-", 'Q'},  {".-.", 'R'},   {"...", 'S'},   {"-", 'T'},
      {"..-", 'U'},   {"...-", 'V'},  {".--", 'W'},   {"-..-", 'X'},  {"-.--", 'Y'},
      {"--..", 'Z'},  {"-----", '0'}, {".----", '1'}, {"..---", '2'}, {"...--", '3'},
      {"....-", '4'}, {".....", '5'}, {"-....", '6'}, {"--...", '7'}, {"---..", '8'},
      {"----.", '9'}};
  const auto sounds = testing::SoundStretches(recording, SampleRate / 200);
  if (sounds.empty()) {
    std::printf("FAIL: nothing heard\n");
    return 1;
  }
  std::size_t dot = sounds.front().Length();
  for (const auto& s : sounds) dot = std::min(dot, s.Length());
  std::string heard, letter;
  const auto endLetter = [&] {
    const auto found = code.find(letter);
    heard += found != code.end() ? found->second : '?';
    letter.clear();
  };
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    letter += sounds[i].Length() < 2 * dot ? '.' : '-';
    if (i + 1 == sounds.size()) break;
    const std::size_t gap = sounds[i + 1].begin - sounds[i].end;
    if (gap >= 2 * dot) endLetter();
    if (gap >= 5 * dot) heard += ' ';
  }
  endLetter();
  std::printf("%s: heard \"%s\" at %.0f ms a dot, \"%s\" wanted\n", heard == wanted ? "ok" : "FAIL",
              heard.c_str(), static_cast<double>(dot) * 1000.0 / SampleRate, wanted.c_str());
  return heard == wanted ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: loop_check REC.raw contains MODE MASK | silent-tail SECONDS\n");
    return 2;
  }
  const auto recording = ReadSamples(argv[1]);
  const std::string check = argv[2];
  if (check == "contains" && argc == 5) {
    return Contains(recording, static_cast<uint32_t>(std::atoi(argv[3])), std::atoi(argv[4]));
  }
  if (check == "silent-tail") {
    const auto wanted = static_cast<std::size_t>(std::atof(argv[3]) * SampleRate);
    const std::size_t silence = zudorave::testing::TrailingSilence(recording);
    std::printf("trailing silence: %zu samples\n", silence);
    return silence >= wanted ? 0 : 1;
  }
  if (check == "morse") return Morse(recording, argv[3]);
  if (check == "tones") {
    std::vector<double> pitches;
    for (int i = 3; i < argc; ++i) pitches.push_back(std::atof(argv[i]));
    return Tones(recording, pitches);
  }
  return 2;
}
