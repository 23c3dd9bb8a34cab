#include "app/generator_app.h"

#include "app/test_hooks.h"

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
                        showStation};
}

bool GeneratorApp::InitInstance(ProgramObjects& objects, const DialogDevices& devices,
                                Prompts& prompts, const Environment& environment) {
  // Qt's own style gives the controls their raised look.
  {
    MainDlg dialog(ContextFor(objects, devices, prompts, environment));
    MainDlgPtr = &dialog;
    dialog.SelfPtr = &dialog;
    InstallTestHooks(dialog, environment);
    dialog.DoModal();
    MainDlgPtr = nullptr;
  }
  return false;
}

}  // namespace zudorave
