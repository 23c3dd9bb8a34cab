// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/generator_app.h"

#include <QSettings>
#include <cstdio>
#include <memory>
#include <optional>

#include "ui/station_settings.h"

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
                        devices.Levels,
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
    std::unique_ptr<QSettings> file;
    std::optional<StationSettings> settings;
    QString problem;
    if (options.showStation && options.keepSettings) {
      dialog.Create();
      file = OpenStationSettings();
      settings.emplace(dialog, objects.Station);
      problem = settings->Load(*file);
      if (!problem.isEmpty()) {
        std::fprintf(stderr, "zudorave: %s\n", qPrintable(problem));
      }
    }
    dialog.DoModal();
    // Once: a file that did not read will not be written either.
    if (settings) {
      if (const QString unsaved = settings->Save(*file); !unsaved.isEmpty() && problem.isEmpty()) {
        std::fprintf(stderr, "zudorave: %s\n", qPrintable(unsaved));
      }
    }
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
