#include "app/generator_app.h"

namespace zudorave {

GeneratorApp::GeneratorApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Zudorave");
  setApplicationVersion(ZUDORAVE_VERSION);
  setDesktopFileName("zudorave");
}

MainDlgContext ContextFor(ProgramObjects& objects, const DialogDevices& devices, Prompts& prompts,
                          const Environment& environment, bool showStation) {
  return MainDlgContext{objects.Tx,
                        objects.Pool,
                        objects.FreeQueue,
                        objects.FilledQueue,
                        objects.Af1Frequency,
                        objects.Station,
                        devices.Capture,
                        devices.Keying,
                        devices.SpeakerDevice,
                        devices.Timer,
                        devices.Stick,
                        devices.Ui,
                        prompts,
                        environment,
                        showStation,
                        devices.Received};
}

bool GeneratorApp::InitInstance(ProgramObjects& objects, const DialogDevices& devices,
                                Prompts& prompts, const Environment& environment,
                                const DialogOptions& options) {
  // Qt's own style gives the controls their raised look.
  {
    MainDlg dialog(ContextFor(objects, devices, prompts, environment, options.showStation));
    MainDlgPtr = &dialog;
    dialog.SelfPtr = &dialog;
    if (options.prepare) options.prepare(dialog);
    dialog.DoModal();
    MainDlgPtr = nullptr;
  }
  return false;
}

void GeneratorApp::EndWithoutAsking() {
  if (MainDlgPtr != nullptr) MainDlgPtr->EndWithoutAsking();
  // Qt stops all event processing: the loops running return, and any started later (a box
  // the code after a loop opens, or the dialog's own run when the signal came first) returns
  // at once, so every modal run unwinds and the program leaves through its usual end.
  exit(0);
}

}  // namespace zudorave
