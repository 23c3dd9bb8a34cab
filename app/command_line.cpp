#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

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
    "  --list-devices         print the sound output and input devices, then end\n"
    "  --output-device NAME   play on the output device NAME (see --list-devices)\n"
    "  --input-device NAME    record from the input device NAME (see --list-devices)\n"
    "  --decode FILE          print the Morse in a recording (WAV, FLAC, Ogg), then end\n"
    "  -h, --help             print this help, then end\n"
    "  --version              print the version, then end\n"
    "\n"
    "Without a device option the system's default devices play and record.\n"
    "Qt's own options, such as -platform NAME and -display DISPLAY, work as well.\n";

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
  auto wrong = [&mistake](std::string what) {
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

    if (name == "--output-device" || name == "--input-device" || name == "--decode") {
      std::string value;
      if (attached) {
        value = *attached;
      } else if (i + 1 < args.size() && !LooksLikeOption(args[i + 1])) {
        value = args[++i];
      }
      if (value.empty()) {
        wrong("option '" + name + "' needs a " + (name == "--decode" ? "file" : "device") +
              " name");
      } else {
        (name == "--output-device"  ? line.outputDevice
         : name == "--input-device" ? line.inputDevice
                                    : line.recording) = value;
      }
      continue;
    }
    if (name == "--help" || name == "-h" || name == "--version" || name == "--station" ||
        name == "--list-devices") {
      if (attached) {
        wrong("option '" + name + "' takes no value");
        continue;
      }
      help = help || name == "--help" || name == "-h";
      version = version || name == "--version";
      line.showStation = line.showStation || name == "--station";
      list = list || name == "--list-devices";
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

  if (help) {
    line.action = CommandLine::Action::Help;
  } else if (version) {
    line.action = CommandLine::Action::Version;
  } else if (mistake) {
    line.action = CommandLine::Action::Mistake;
    line.mistake = *mistake;
  } else if (!line.recording.empty()) {
    line.action = CommandLine::Action::Decode;
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
    case CommandLine::Action::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace zudorave
