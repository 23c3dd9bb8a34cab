#include <cstdio>

#include "app/devices.h"
#include "app/generator_app.h"
#include "app/program_objects.h"
#include "platform/environment.h"
#include "platform/qt/qt_prompts.h"

// The program-wide objects come first and go last: devices, then the generator and queues,
// then the application, which runs the main dialog.
int main(int argc, char** argv) {
  using namespace zudorave;
  Devices devices = CreateDevices();
  ProgramObjects objects(*devices.waveOut);
  if (!objects.Tx.Ready()) {
    std::fprintf(stderr, "zudorave: %s; the generator stays silent\n",
                 objects.Tx.Shortage().c_str());
  }
  GeneratorApp app(argc, argv);
  devices.uiThread->Start();
  QtPrompts prompts;
  ProcessEnvironment environment;
  const DialogDevices dialogDevices{*devices.waveIn, *devices.keyingOut, *devices.speaker,
                                    *devices.timer,  *devices.joystick,  *devices.uiThread};
  app.InitInstance(objects, dialogDevices, prompts, environment);
  return 0;
}
