// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <optional>
#include <string_view>

#include "morse/station_values.h"
#include "synth/snd_tx.h"

namespace zudorave {

namespace {

// Qt's options as Qt reads them, with one dash or two; those in the first list take a value.
constexpr std::array<std::string_view, 12> QtOptionsWithValue = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "geometry"};
constexpr std::array<std::string_view, 5> QtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                     "sync"};

constexpr char Usage[] =
    "Usage: zudorave [OPTION]...\n"
    "An audio-frequency signal generator with a Morse practice station.\n"
    "\n"
    "  --station              show the station's hidden controls and the received text\n"
    "  --no-settings          start the station from its start-up values, keep nothing\n"
    "  --list-devices         print the sound output and input devices, then end\n"
    "  --output-device NAME   play on the output device NAME (see --list-devices)\n"
    "  --input-device NAME    record from the input device NAME (see --list-devices)\n"
    "  --decode FILE          print the Morse in a recording (WAV, FLAC, Ogg), then end\n"
    "  --write-morse FILE     write the text as the station sends it to FILE (.wav, .flac,\n"
    "                         .ogg), then end; the text comes with\n"
    "    --text TEXT          the text itself, or\n"
    "    --text-file F        the text in the file F\n"
    "    --wpm N              the speed, 5 to 25 words per minute (7)\n"
    "    --pitch HZ           the tone, 10 to 2000 Hz (300)\n"
    "    --spacing MS         added to every gap between characters, 0 to 1000 ms (0)\n"
    "  -h, --help             print this help, then end\n"
    "  --version              print the version, then end\n"
    "\n"
    "Without a device option the system's default devices play and record.\n"
    "Qt's own options, such as -platform NAME and -display DISPLAY, work as well.\n";

struct NumberOption {
  std::string_view name;
  int32_t lowest;
  int32_t highest;
  int32_t MorseFileRequest::*field;
};
constexpr std::array<NumberOption, 3> MorseNumbers = {{
    {"--wpm", MinSpeedWpm, MaxSpeedWpm, &MorseFileRequest::wpm},
    {"--pitch", 10, 2000, &MorseFileRequest::toneHz},
    {"--spacing", 0, MaxExtraSpacing, &MorseFileRequest::spacingMs},
}};

// A whole number between lowest and highest, written out in full.
std::optional<int32_t> ReadNumber(const std::string& value, int32_t lowest, int32_t highest) {
  int32_t number = 0;
  const char* end = value.data() + value.size();
  const auto [at, error] = std::from_chars(value.data(), end, number);
  if (error != std::errc() || at != end || number < lowest || number > highest) {
    return std::nullopt;
  }
  return number;
}

// --write-morse and the options that go with it, as they come.
struct MorseOptions {
  MorseFileRequest& request;
  std::vector<std::string> given;  // besides --write-morse: a mistake without it
  bool text = false;               // --text or --text-file given
};

// Takes one of the options of --write-morse, reading its value with value() and saying what is
// wrong through wrong(); false when name is none of them.
bool TakeMorseOption(const std::string& name, const std::function<std::string()>& value,
                     MorseOptions& morse, const std::function<void(std::string)>& wrong) {
  MorseFileRequest& request = morse.request;
  if (name == "--write-morse" || name == "--text" || name == "--text-file") {
    const std::string given = value();
    if (given.empty()) {
      wrong("option '" + name + "' needs " + (name == "--text" ? "a text" : "a file name"));
    } else if (name == "--write-morse") {
      request.path = given;
    } else if (morse.text) {
      wrong("give the text once, with --text or --text-file");
    } else {
      morse.text = true;
      (name == "--text" ? request.text : request.textFile) = given;
    }
    if (name != "--write-morse") morse.given.push_back(name);
    return true;
  }
  const auto number =
      std::find_if(MorseNumbers.begin(), MorseNumbers.end(),
                   [&name](const NumberOption& option) { return option.name == name; });
  if (number == MorseNumbers.end()) return false;
  if (const std::optional<int32_t> read = ReadNumber(value(), number->lowest, number->highest)) {
    request.*number->field = *read;
  } else {
    wrong("option '" + name + "' needs a whole number from " + std::to_string(number->lowest) +
          " to " + std::to_string(number->highest));
  }
  morse.given.push_back(name);
  return true;
}

// What is wrong with --write-morse as a whole, once every option is read.
void CheckMorseOptions(const MorseOptions& morse, bool decode,
                       const std::function<void(std::string)>& wrong) {
  if (morse.request.path.empty()) {
    if (!morse.given.empty()) wrong("option '" + morse.given.front() + "' goes with --write-morse");
    return;
  }
  if (!morse.text) wrong("option '--write-morse' needs a text, with --text or --text-file");
  if (decode) wrong("give either --decode or --write-morse");
  if (!KnownSoundFileEnding(morse.request.path)) {
    wrong("the file for '--write-morse' must end in .wav, .flac or .ogg");
  }
}

bool Contains(const auto& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A value may not look like an option, so that a forgotten one does not swallow the next.
bool LooksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool help = false;
  bool version = false;
  bool list = false;
  std::optional<std::string> mistake;
  line.morseFile.wpm = InitialSpeedWpm;
  line.morseFile.toneHz = SndTx::InitialAf1Frequency;
  MorseOptions morse{line.morseFile, {}};
  const std::function<void(std::string)> wrong = [&mistake](std::string what) {
    if (!mistake) mistake = std::move(what);  // the first one is the one to fix first
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!LooksLikeOption(arg)) {
      wrong("unexpected argument '" + arg + "'");
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const std::optional<std::string> attached =
        equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1));

    // The value given with =, or as the next argument unless that looks like an option.
    const std::function<std::string()> value = [&]() {
      if (attached) return *attached;
      if (i + 1 < args.size() && !LooksLikeOption(args[i + 1])) return args[++i];
      return std::string();
    };
    if (TakeMorseOption(name, value, morse, wrong)) continue;
    if (name == "--output-device" || name == "--input-device" || name == "--decode") {
      const std::string given = value();
      if (given.empty()) {
        wrong("option '" + name + "' needs a " + (name == "--decode" ? "file" : "device") +
              " name");
      } else {
        (name == "--output-device"  ? line.outputDevice
         : name == "--input-device" ? line.inputDevice
                                    : line.recording) = given;
      }
      continue;
    }
    if (name == "--help" || name == "-h" || name == "--version" || name == "--station" ||
        name == "--list-devices" || name == "--no-settings") {
      if (attached) {
        wrong("option '" + name + "' takes no value");
        continue;
      }
      help = help || name == "--help" || name == "-h";
      version = version || name == "--version";
      line.showStation = line.showStation || name == "--station";
      list = list || name == "--list-devices";
      line.keepSettings = line.keepSettings && name != "--no-settings";
      continue;
    }

    const std::string_view bare = std::string_view(name).substr(name.starts_with("--") ? 2 : 1);
    if (Contains(QtFlags, bare)) {
      line.qtArguments.push_back(arg);
    } else if (Contains(QtOptionsWithValue, bare)) {
      line.qtArguments.push_back(arg);
      if (attached) continue;  // Qt reads -style=NAME and -stylesheet=FILE
      if (i + 1 < args.size()) {
        line.qtArguments.push_back(args[++i]);
      } else {
        wrong("option '" + arg + "' needs a value");
      }
    } else {
      wrong("unknown option '" + name + "'");
    }
  }

  CheckMorseOptions(morse, !line.recording.empty(), wrong);

  if (help) {
    line.action = CommandLine::Action::Help;
  } else if (version) {
    line.action = CommandLine::Action::Version;
  } else if (mistake) {
    line.action = CommandLine::Action::Mistake;
    line.mistake = *mistake;
  } else if (!line.recording.empty()) {
    line.action = CommandLine::Action::Decode;
  } else if (!line.morseFile.path.empty()) {
    line.action = CommandLine::Action::WriteMorse;
  } else if (list) {
    line.action = CommandLine::Action::ListDevices;
  }
  return line;
}

std::optional<int> Answer(const CommandLine& line, std::FILE* out, std::FILE* err) {
  switch (line.action) {
    case CommandLine::Action::Help:
      std::fputs(Usage, out);
      return 0;
    case CommandLine::Action::Version:
      std::fputs("zudorave " ZUDORAVE_VERSION "\n", out);
      return 0;
    case CommandLine::Action::Mistake:
      std::fprintf(err, "zudorave: %s\nTry 'zudorave --help' for more information.\n",
                   line.mistake.c_str());
      return 2;
    case CommandLine::Action::ListDevices:
    case CommandLine::Action::Decode:
    case CommandLine::Action::WriteMorse:
    case CommandLine::Action::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace zudorave
