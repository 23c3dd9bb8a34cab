// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/decode_recording.h"
#include "app/device_choice.h"
#include "app/devices.h"
#include "app/generator_app.h"
#include "app/program_objects.h"
#include "app/pulse_server.h"
#include "app/write_morse.h"
#include "platform/environment.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_quit_signals.h"
#include "platform/sndfile/sndfile_files.h"
#ifdef ZUDORAVE_TEST_HOOKS
#include "app/test_hooks.h"
#endif

// The command line is read before anything starts, so --help, --version, --list-devices,
// --decode and --write-morse need no display. The program-wide objects come first and go last:
// devices, then the generator and queues, then the application, which runs the main dialog.
int main(int argc, char** argv) {
  using namespace zudorave;
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = Answer(line, stdout, stderr)) return *status;
  if (line.action == CommandLine::Action::Decode) {
    SndfileFiles files;
    return DecodeRecording(line.recording, files, stdout, stderr);
  }
  if (line.action == CommandLine::Action::WriteMorse) {
    SndfileFiles files;
    return WriteMorseFile(line.morseFile, files, stderr);
  }
  if (line.action == CommandLine::Action::ListDevices) {
    SdlAudio audio;
    return PrintDevices(audio, stdout) ? 0 : 1;
  }

  // Caught before SDL starts: the signals end the program cleanly from the event loop.
  QtQuitSignals quitSignals;
  AudioChoice choice{line.outputDevice, line.inputDevice, &SayWhyNotOpened};
  Devices devices = CreateDevices(choice);
  if (!CheckChosenDevices(*devices.audio, choice)) return 2;
  // Where every sound device plays on libpulse, SDL's audio rests from here on.
  SdlOnPulseServer(*devices.audio);
  ProgramObjects objects(*devices.waveOut);
  if (!objects.Tx.Ready()) {
    std::fprintf(stderr, "zudorave: %s; the generator stays silent\n",
                 objects.Tx.Shortage().c_str());
  }

  // Qt sees only its own options; they live as long as the application.
  std::vector<std::string> qtArguments{argv[0]};
  qtArguments.insert(qtArguments.end(), line.qtArguments.begin(), line.qtArguments.end());
  std::vector<char*> qtArgv;
  for (std::string& argument : qtArguments) qtArgv.push_back(argument.data());
  qtArgv.push_back(nullptr);
  int qtArgc = static_cast<int>(qtArguments.size());
  GeneratorApp app(qtArgc, qtArgv.data());
  devices.uiThread->Start();
  quitSignals.Watch([](int /*signal*/) { GeneratorApp::EndWithoutAsking(); });

  QtPrompts prompts;
  ProcessEnvironment environment;
  const DialogDevices dialogDevices{*devices.waveIn,      *devices.keyingOut,    *devices.speaker,
                                    *devices.timer,       *devices.joystick,     *devices.uiThread,
                                    devices.levels.get(), devices.received.get()};
  DialogOptions options{line.showStation, line.keepSettings, nullptr};
#ifdef ZUDORAVE_TEST_HOOKS
  // The build for tests and screenshots: environment variables drive the dialog.
  options.prepare = [&environment](MainDlg& dialog) { InstallTestHooks(dialog, environment); };
#endif
  app.InitInstance(objects, dialogDevices, prompts, environment, options);
  return 0;
}
