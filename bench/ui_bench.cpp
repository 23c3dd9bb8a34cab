// SPDX-License-Identifier: GPL-3.0-or-later
// A drag of the AF1 trackbar: 200 scroll notifications, each timed as a whole and in its parts
// (refill the oscillator, re-render the second, rewrite the label). Prints median and maximum.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/generator_app.h"
#include "app/program_objects.h"
#include "platform/qt/qt_ui_thread.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_joystick.h"
#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_prompts.h"
#include "platform/testing/fake_render_out.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/fake_wave_in.h"
#include "platform/testing/fake_wave_out.h"
#include "ui/dialog_template.h"
#include "ui/main_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double Milliseconds(F&& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-34s median %6.3f ms   max %6.3f ms   (%zu runs)\n", what, times[times.size() / 2],
              times.back(), times.size());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zudorave;
  using namespace zudorave::testing;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FakeWaveOut waveOut;
  FakeRenderOut keyingOut;
  FakeWaveIn waveIn;
  FakePeriodicTimer timer;
  FakeJoystick joystick;
  QObject uiContext;
  QtUiThread ui(&uiContext);
  FakeSpeaker speaker;
  FakePrompts prompts;
  FakeEnvironment environment;
  ProgramObjects objects(waveOut);
  MainDlg dlg(ContextFor(objects, DialogDevices{waveIn, keyingOut, speaker, timer, joystick, ui},
                         prompts, environment));
  dlg.Create();
  dlg.show();
  // All three oscillators on, in the dearest mode, so every re-render does the most work.
  for (const int source : {IDC_AF1, IDC_AF2, IDC_AF3}) {
    qobject_cast<QAbstractButton*>(dlg.Control(source))->click();
  }
  constexpr int32_t sources = Af1Bit | Af2Bit | Af3Bit;
  auto* slider = dlg.ControlAs<QSlider>(IDC_AF1_SLIDER);
  auto* af1Label = dlg.ControlAs<QLabel>(IDC_AF1_LABEL);

  const int notifications = 200;
  for (const MixMode mode : {MixMode::Sum, MixMode::Product, MixMode::Lsb}) {
    qobject_cast<QAbstractButton*>(dlg.Control(static_cast<int>(mode)))->click();
    std::vector<double> whole, refill, remix, label;
    for (int step = 0; step < notifications; ++step) {
      const int frequency = 300 + step * 7;
      whole.push_back(Milliseconds([&] { slider->setSliderPosition(frequency); }));
      refill.push_back(Milliseconds([&] { objects.Tx.FillOscillator(1, frequency + 1); }));
      remix.push_back(Milliseconds([&] { objects.Tx.Mix(mode, sources); }));
      label.push_back(Milliseconds([&] { af1Label->setText(QString::number(frequency)); }));
    }
    const QString name =
        qobject_cast<QAbstractButton*>(dlg.Control(static_cast<int>(mode)))->text();
    std::printf("mode %s, mask %d:\n", name.toUtf8().constData(), sources);
    Report("  whole scroll notification", whole);
    Report("  refill (FillOscillator)", refill);
    Report("  re-render (Mix)", remix);
    Report("  label (static 1030)", label);
  }
  return 0;
}
