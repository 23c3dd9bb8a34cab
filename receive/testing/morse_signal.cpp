// SPDX-License-Identifier: GPL-3.0-or-later
#include "receive/testing/morse_signal.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>

#include "morse/character_timing.h"
#include "morse/morse_tables.h"

namespace zudorave::testing {

namespace {

constexpr double EdgeSeconds = 0.005;
constexpr double Amplitude = 0.25;
constexpr double NoiseBandHz = 3000;

constexpr std::array<std::string_view, 60> Words = {
    "THE",     "AND",    "YOU",   "FOR",     "NAME",    "HERE",   "RIG",   "ANT",    "WX",
    "QTH",     "RST",    "TNX",   "FER",     "CALL",    "CQ",     "DE",    "TEST",   "UR",
    "SIG",     "HR",     "GOOD",  "MORNING", "EVENING", "POWER",  "WATTS", "DIPOLE", "YAGI",
    "CLOUDY",  "SUNNY",  "RAIN",  "COLD",    "WARM",    "HOPE",   "CU",    "AGN",    "BEST",
    "REGARDS", "OP",     "AGE",   "YEARS",   "QSL",     "VIA",    "BURO",  "DIRECT", "RADIO",
    "KEY",     "PADDLE", "BAND",  "OPEN",    "NOISE",   "STRONG", "WEAK",  "COPY",   "SOLID",
    "FINE",    "BUSY",   "SORRY", "LATER",   "QRZ",     "ZULU"};
constexpr std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view Digits = "0123456789";
constexpr std::string_view Marks = ".,?':/\"()";

char Pick(std::mt19937& random, std::string_view from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

std::string Callsign(std::mt19937& random) {
  std::string call(1, Pick(random, Letters));
  if (random() % 2) call += Pick(random, Letters);
  call += Pick(random, Digits);
  const int suffix = 1 + static_cast<int>(random() % 3);
  for (int i = 0; i < suffix; ++i) call += Pick(random, Letters);
  if (random() % 6 == 0) call += random() % 2 ? "/P" : "/5";
  return call;
}

std::string Number(std::mt19937& random) {
  if (random() % 3 == 0) return random() % 2 ? "599" : "73";
  std::string number;
  const int digits = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < digits; ++i) number += Pick(random, Digits);
  return number;
}

std::string Punctuated(std::mt19937& random) {
  const std::string word(Words[random() % Words.size()]);
  const char mark = Pick(random, Marks);
  if (mark == '(' || mark == '"') return mark + word + (mark == '(' ? ')' : '"');
  if (mark == '/' || mark == ':') return Number(random) + mark + Number(random);
  return word + mark;
}

// The key as the decode table spells it: each run of tone a dot or a dash.
std::string KeyOf(std::string_view pattern) {
  std::string key;
  int run = 0;
  for (const char letter : pattern) {
    if (letter == 'x') {
      ++run;
      continue;
    }
    if (run > 0) key += run == 1 ? 'P' : 'L';
    run = 0;
  }
  return key;
}

struct KeyDown {
  double start, end;  // seconds
};

// Keys the text from start on; returns where its last gap ends.
double Key(const std::string& text, double start, double wpm, double endWpm, bool step,
           double jitter, double dashDots, std::mt19937& random, std::vector<KeyDown>& downs) {
  std::normal_distribution<double> spread(0, 1);
  auto vary = [&](double seconds) { return seconds * std::max(0.3, 1 + jitter * spread(random)); };
  std::size_t keyed = 0;
  for (const char c : text) keyed += Keyable(SendPattern(c)) ? 1 : 0;
  double t = start;
  std::size_t index = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string key = KeyOf(SendPattern(text[i]));
    if (key.empty()) continue;
    double share = keyed > 1 ? static_cast<double>(index++) / static_cast<double>(keyed - 1) : 0;
    if (step) share = share < 0.5 ? 0 : 1;
    const double dot = 1.2 / (endWpm > 0 ? wpm + (endWpm - wpm) * share : wpm);
    for (std::size_t e = 0; e < key.size(); ++e) {
      const double length = std::max(vary(key[e] == 'P' ? dot : dot * dashDots), 0.006);
      downs.push_back({t, t + length});
      t += length;
      const bool last = e + 1 == key.size();
      const bool wordEnds = last && (i + 1 == text.size() || text[i + 1] == ' ');
      t += std::max(vary(dot * (wordEnds ? 7 : last ? 3 : 1)), 0.006);
    }
  }
  return t;
}

// The keyed tone's envelope: raised-cosine ramps that start where the key changes.
void AddTone(const std::vector<KeyDown>& downs, double rate, double hz, double driftHz,
             double amplitude, std::vector<float>& out) {
  const double duration = static_cast<double>(out.size()) / rate;
  for (const KeyDown& down : downs) {
    const auto first = static_cast<std::size_t>(std::ceil(down.start * rate));
    const auto last =
        std::min(out.size(), static_cast<std::size_t>((down.end + EdgeSeconds) * rate));
    for (std::size_t n = first; n < last; ++n) {
      const double t = static_cast<double>(n) / rate;
      const double rise = std::min(1.0, (t - down.start) / EdgeSeconds);
      const double fall = t < down.end ? 1.0 : 1 - (t - down.end) / EdgeSeconds;
      const double ramp = std::max(0.0, std::min(rise, fall));
      const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * ramp);
      const double phase = 2 * std::numbers::pi * (hz * t + 0.5 * driftHz / duration * t * t);
      out[n] += static_cast<float>(amplitude * gain * std::sin(phase));
    }
  }
}

// White noise with the power asked for between 0 and 3000 Hz, and nothing above.
std::vector<float> Noise(double rate, double power, std::mt19937& random, std::size_t count) {
  const double sigma = std::sqrt(power * rate / 2 / NoiseBandHz);
  std::normal_distribution<double> gauss(0, sigma);
  std::vector<float> white(count);
  for (float& sample : white) sample = static_cast<float>(gauss(random));
  if (rate <= 2 * NoiseBandHz) return white;
  // A Hamming-windowed sinc cutting at 3000 Hz, its band about 600 Hz wide.
  const int half = static_cast<int>(std::ceil(1.65 * rate / 600));
  std::vector<double> taps;
  for (int k = -half; k <= half; ++k) {
    const double x = 2 * NoiseBandHz / rate * k;
    const double sinc = k == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
    const double window = 0.54 + 0.46 * std::cos(std::numbers::pi * k / half);
    taps.push_back(2 * NoiseBandHz / rate * sinc * window);
  }
  std::vector<float> band(count);
  for (std::size_t n = 0; n < count; ++n) {
    double sum = 0;
    for (int k = -half; k <= half; ++k) {
      const auto i = static_cast<std::ptrdiff_t>(n) + k;
      if (i >= 0 && i < static_cast<std::ptrdiff_t>(count)) sum += taps[k + half] * white[i];
    }
    band[n] = static_cast<float>(sum);
  }
  return band;
}

}  // namespace

std::string RandomText(std::mt19937& random, int words) {
  std::string text;
  for (int i = 0; i < words; ++i) {
    if (i > 0) text += ' ';
    const auto kind = random() % 20;
    if (kind < 11) {
      text += Words[random() % Words.size()];
    } else if (kind < 14) {
      text += Callsign(random);
    } else if (kind < 17) {
      text += Number(random);
    } else {
      text += Punctuated(random);
    }
  }
  return text;
}

std::string PerfectCopy(const std::string& text) {
  static const MorseDecodeMap map = [] {
    MorseDecodeMap filled;
    FillMorseDecodeMap(filled);
    return filled;
  }();
  std::string copy;
  for (const char c : text) {
    if (c == ' ') {
      copy += ' ';
      continue;
    }
    const std::string_view pattern = SendPattern(c);
    if (!Keyable(pattern)) continue;
    const auto found = map.find(KeyOf(pattern));
    if (found != map.end()) copy += found->second;
  }
  return copy;
}

double MeanFadePower(const SignalRecipe& recipe) {
  if (recipe.fadeHz <= 0) return 1;
  // The gain is (1 + floor) / 2 + (1 - floor) / 2 * cos.
  const double floor = std::pow(10, -recipe.fadeDb / 20);
  const double middle = (1 + floor) / 2, swing = (1 - floor) / 2;
  return middle * middle + swing * swing / 2;
}

TestSignal MakeSignal(const SignalRecipe& recipe) {
  std::mt19937 random(recipe.seed);
  TestSignal signal;
  signal.sent = RandomText(random, recipe.words);
  signal.expected = PerfectCopy(signal.sent);
  const double dashDots =
      std::uniform_real_distribution<double>(recipe.dashMin, recipe.dashMax)(random);

  std::vector<KeyDown> downs;
  const double end = Key(signal.sent, recipe.leadSeconds, recipe.wpm, recipe.endWpm, recipe.step,
                         recipe.jitter, dashDots, random, downs);
  const double duration = end + recipe.tailSeconds;
  signal.samples.assign(static_cast<std::size_t>(duration * recipe.sampleRate), 0.0f);
  AddTone(downs, recipe.sampleRate, recipe.pitchHz, recipe.pitchDriftHz, Amplitude, signal.samples);

  if (recipe.fadeHz > 0) {
    const double floor = std::pow(10, -recipe.fadeDb / 20);
    const double start = std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random);
    for (std::size_t n = 0; n < signal.samples.size(); ++n) {
      const double t = static_cast<double>(n) / recipe.sampleRate;
      const double swing = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * recipe.fadeHz * t + start);
      signal.samples[n] *= static_cast<float>(1 - (1 - floor) * swing);
    }
  }

  if (recipe.qrmOffsetHz != 0) {
    std::vector<KeyDown> other;
    const double wpm = std::uniform_real_distribution<double>(15, 28)(random);
    // It starts with the wanted station, so neither is alone on the air at first.
    double t = recipe.leadSeconds + std::uniform_real_distribution<double>(0, 0.5)(random);
    while (t < duration) {
      t = Key(RandomText(random, 10) + ' ', t, wpm, 0, false, 0, 3, random, other);
    }
    AddTone(other, recipe.sampleRate, recipe.pitchHz + recipe.qrmOffsetHz, 0,
            Amplitude * std::pow(10, -recipe.qrmDb / 20), signal.samples);
  }

  if (recipe.snrDb <= 90) {
    const double power =
        Amplitude * Amplitude / 2 * MeanFadePower(recipe) / std::pow(10, recipe.snrDb / 10);
    const std::vector<float> noise = Noise(recipe.sampleRate, power, random, signal.samples.size());
    for (std::size_t n = 0; n < noise.size(); ++n) signal.samples[n] += noise[n];
  }
  signal.samples.insert(signal.samples.begin(),
                        static_cast<std::size_t>(recipe.silentSeconds * recipe.sampleRate), 0.0f);
  return signal;
}

namespace {

std::string Normalised(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (space && (out.empty() || out.back() == ' ')) continue;
    out += space ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

double CharacterErrorRate(const std::string& copy, const std::string& expected) {
  const std::string a = Normalised(copy);
  const std::string b = Normalised(expected);
  if (b.empty()) return a.empty() ? 0 : 1;
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return static_cast<double>(row[b.size()]) / static_cast<double>(b.size());
}

}  // namespace zudorave::testing
