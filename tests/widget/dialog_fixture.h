// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main dialog on fresh program objects and recording doubles, created as the program does.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

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
#include "station/station_threads.h"
#include "synth/mix_mode.h"
#include "ui/dialog_template.h"
#include "ui/main_dlg.h"

namespace zudorave::testing {

class DialogTest : public ::testing::Test {
 protected:
  FakeWaveOut waveOut;
  FakeRenderOut keyingOut;
  FakeWaveIn waveIn;
  FakePeriodicTimer timer;
  FakeJoystick joystick;
  QObject uiContext;
  QtUiThread ui{&uiContext};
  FakeSpeaker speaker;
  FakePrompts prompts;
  FakeEnvironment environment;
  std::unique_ptr<ProgramObjects> objects = std::make_unique<ProgramObjects>(waveOut);
  std::unique_ptr<MainDlg> dlg;

  DialogDevices Devices() { return DialogDevices{waveIn, keyingOut, speaker, timer, joystick, ui}; }

  // Builds and initialises the dialog; the probe's device calls are left in waveOut.calls.
  void Start() {
    dlg = std::make_unique<MainDlg>(ContextFor(*objects, Devices(), prompts, environment));
    dlg->Create();
  }
  // Starts and forgets what the start-up did to the devices.
  void StartQuiet() {
    Start();
    waveOut.calls.clear();
  }

  // A menu item chosen: its command comes as a queued call, carried out here.
  void Choose(int id) const {
    dlg->MenuItem(id)->trigger();
    QCoreApplication::processEvents();
  }

  // Hands the modal widget to inspect once one runs: looked for again until then, as a command
  // may come as a queued call that has not run yet.
  static void WhenModal(std::function<void(QWidget*)> inspect, int tries = 100) {
    QTimer::singleShot(0, [inspect = std::move(inspect), tries] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        inspect(modal);
      } else if (tries > 0) {
        WhenModal(inspect, tries - 1);
      }
    });
  }

  QAbstractButton* Button(int id) const { return qobject_cast<QAbstractButton*>(dlg->Control(id)); }
  QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dlg->Control(id)); }
  template <typename T>
  T* Widget(int id) const {
    return dlg->ControlAs<T>(id);
  }

  // Whether the generator's second is what the mode renders from these sources, with the
  // oscillators at their first frequencies and no recorded second to mix.
  bool Renders(MixMode mode, int32_t mask) const {
    FakeWaveOut device;
    CaptureQueue filled;
    SndTx reference(SndTx::InitialAf1Frequency, device, filled);
    reference.Mix(mode, mask);
    for (int j : {1, 2, 7, 500, 4410, 30001, SndTx::SampleCount - 1}) {
      if (objects->Tx.OutputSample(j) != reference.OutputSample(j)) return false;
    }
    return true;
  }

  // Once the window's run has ended no progress thread is left: none gives the buttons back
  // when the state leaves Transmitting.
  void ExpectNoProgressThreadLeft() {
    dlg->Control(IDC_MANUAL)->setEnabled(false);
    objects->Station.OperatingState = StationState::Idle;
    QTest::qWait(static_cast<int>(3 * ProgressThread::Poll.count()));
    EXPECT_FALSE(dlg->Control(IDC_MANUAL)->isEnabled()) << "a progress thread outlived the run";
  }

  // Runs action, which opens a modal dialog, and hands that dialog to inspect before closing
  // it with its OK button (or reject when it has none).
  template <typename Action, typename Inspect>
  static void WithModal(Action action, Inspect inspect) {
    bool seen = false;
    WhenModal([&](QWidget* modal) {
      seen = true;
      inspect(modal);
      if (auto* ok = modal->findChild<QAbstractButton*>("1")) {
        ok->click();
      } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      }
    });
    action();
    QCoreApplication::processEvents();  // the command, if it came queued
    EXPECT_TRUE(seen) << "no modal dialog opened";
  }
};

}  // namespace zudorave::testing
