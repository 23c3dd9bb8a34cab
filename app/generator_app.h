// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application: it runs the main dialog modally and ends when the dialog ends.
#include <QApplication>
#include <functional>

#include "app/program_objects.h"
#include "capture/received_samples.h"
#include "platform/environment.h"
#include "platform/joystick.h"
#include "platform/output_level.h"
#include "platform/periodic_timer.h"
#include "platform/prompts.h"
#include "platform/render_out.h"
#include "platform/speaker.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "platform/wave_out.h"
#include "ui/main_dlg.h"

namespace zudorave {

// The devices the main dialog works with besides the generator's own output.
struct DialogDevices {
  WaveIn& Capture;
  RenderOut& Keying;
  Speaker& SpeakerDevice;
  PeriodicTimer& Timer;
  Joystick& Stick;
  UiThread& Ui;
  // The outputs' levels; without them the station shows no level controls.
  OutputLevels* Levels = nullptr;
  ReceivedSamples* Received = nullptr;  // the capture's tap
};

// What the command line and the build add to the main dialog's run.
struct DialogOptions {
  bool showStation = false;
  // With the station: its settings are read at the start and written at the end.
  bool keepSettings = true;
  // Sees the dialog before it runs; the build for tests installs its hooks here.
  std::function<void(MainDlg&)> prepare;
};

// Threads: user-interface thread only.
class GeneratorApp : public QApplication {
 public:
  // argc and argv are Qt's options only, and outlive the application.
  GeneratorApp(int& argc, char** argv);

  // Builds the main dialog on the program's objects, runs it and destroys it. Returns false:
  // there is no event loop of the application's own after the dialog.
  bool InitInstance(ProgramObjects& objects, const DialogDevices& devices, Prompts& prompts,
                    const Environment& environment, const DialogOptions& options = {});

  // A signal to end the program: the main dialog ends without asking, and every event loop
  // returns, a modal box's or dialog's over it included; none runs again after.
  static void EndWithoutAsking();
};

// The collaborators of the main dialog, taken from the program's objects.
MainDlgContext ContextFor(ProgramObjects& objects, const DialogDevices& devices, Prompts& prompts,
                          const Environment& environment, bool showStation = false);

}  // namespace zudorave
