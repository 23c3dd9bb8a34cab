#pragma once
// The application: it runs the main dialog modally and ends when the dialog ends.
#include <QApplication>

#include "app/program_objects.h"
#include "platform/environment.h"
#include "platform/joystick.h"
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
};

class GeneratorApp : public QApplication {
 public:
  GeneratorApp(int& argc, char** argv);

  // Builds the main dialog on the program's objects, runs it and destroys it. Returns false:
  // there is no event loop of the application's own after the dialog.
  bool InitInstance(ProgramObjects& objects, const DialogDevices& devices, Prompts& prompts,
                    const Environment& environment);
};

// The collaborators of the main dialog, taken from the program's objects.
MainDlgContext ContextFor(ProgramObjects& objects, const DialogDevices& devices, Prompts& prompts,
                          const Environment& environment);

}  // namespace zudorave
