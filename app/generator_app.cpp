#include "app/generator_app.h"

#include "app/test_hooks.h"

namespace zudorave {

MainDlg* MainDlgPtr = nullptr;

GeneratorApp::GeneratorApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Zudorave");
  setApplicationVersion(ZUDORAVE_VERSION);
  setDesktopFileName("zudorave");
}

MainDlgContext ContextFor(ProgramObjects& objects, WaveIn& captureDevice, Speaker& speaker,
                          Prompts& prompts, const Environment& environment) {
  return MainDlgContext{objects.Tx,
                        objects.Pool,
                        objects.FreeQueue,
                        objects.FilledQueue,
                        objects.Af1Frequency,
                        objects.OperatingState,
                        objects.UseSpeaker,
                        objects.IgnoreSpaces,
                        objects.ToneChangePending,
                        captureDevice,
                        speaker,
                        prompts,
                        environment};
}

bool GeneratorApp::InitInstance(ProgramObjects& objects, WaveIn& captureDevice, Speaker& speaker,
                                Prompts& prompts, const Environment& environment) {
  // Qt's own style gives the controls their raised look.
  {
    MainDlg dialog(ContextFor(objects, captureDevice, speaker, prompts, environment));
    MainDlgPtr = &dialog;
    dialog.SelfPtr = &dialog;
    InstallTestHooks(dialog, environment);
    dialog.DoModal();
    MainDlgPtr = nullptr;
  }
  return false;
}

}  // namespace zudorave
