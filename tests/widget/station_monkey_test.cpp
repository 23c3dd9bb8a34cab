// SPDX-License-Identifier: GPL-3.0-or-later
// A few thousand random commands, clicks, keys and messages across the operating states. After
// every step the window must agree with the state; after quitting nothing may be left open or
// running. Meant for the sanitizer builds above all.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <random>
#include <vector>

#include "dialog_fixture.h"
#include "morse/key_sequencer.h"
#include "morse/operating_state.h"
#include "tests/station_names.h"
#include "ui/dialog_template.h"
#include "ui/menu_resource.h"
#include "ui/menu_state.h"
#include "ui/messages.h"

namespace zudorave::testing {
namespace {

class StationMonkey : public DialogTest {
 protected:
  std::mt19937 random{20261208};

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
  QPlainTextEdit* Text() const { return Widget<QPlainTextEdit>(IDC_TEXT); }

  void ClickButton(int id) {
    auto* button = qobject_cast<QAbstractButton*>(dlg->Control(id));
    if (button->isEnabled() && button->isVisible()) {
      button->click();
    } else {
      // Hidden controls act through their handlers, as their menu items do.
      if (button->isCheckable()) button->toggle();
      dlg->OnCommand(id, BN_CLICKED);
    }
  }

  // A keying run opened by a step takes a few steps of its own, then is cancelled.
  void CloseModalsSoon() {
    QTimer::singleShot(0, [this] {
      for (int step = Pick(6); step > 0; --step) {
        NonModalStep();
        CheckTheWindowAgreesWithTheState();
      }
      if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
    });
  }

  // What the keying engine does: a transmission runs to its end, or is stopped twice and ends
  // there; an engine that rests in Held goes there from Idle.
  void EngineStep() {
    StationValues& s = objects->Station;
    const StationState state = s.OperatingState;
    if (Sends(state) && Pick(2) == 0) {
      for (int dot = 0; dot < 40 && Sends(s.OperatingState); ++dot) {
        timer.Tick();
        keyingOut.Pump(MsToSamples(static_cast<uint64_t>(s.DotMs.load())));
        QCoreApplication::processEvents();
      }
    } else if (Sends(state)) {
      if (state == StationState::Transmitting) Choose(ID_CONFIG_STOP);
      Choose(ID_CONFIG_STOP);
      QCoreApplication::processEvents();
    } else if (state == StationState::Idle) {
      s.OperatingState = StationState::Held;
    }
  }

  void Step() {
    if (Pick(16) == 0) {
      // Queued: the keying run's steps go in after the command, inside its modal run if it opens.
      dlg->MenuItem(ID_CONFIG_MANUAL)->trigger();
      CloseModalsSoon();
      QCoreApplication::processEvents();
    } else {
      NonModalStep();
    }
  }

  void NonModalStep() {
    StationValues& s = objects->Station;
    switch (Pick(16)) {
      case 0:
        Choose(ID_CONFIG_TRANSMIT);
        break;
      case 1:
        Choose(ID_CONFIG_STOP);
        break;
      case 2:
        EngineStep();
        break;
      case 3:
        Choose(ID_CONFIG_RECEIVE);
        break;
      case 4:
        Text()->moveCursor(QTextCursor::End);
        Text()->insertPlainText(QString(QChar('a' + Pick(26))));
        break;
      case 5:
        Text()->setPlainText(Text()->toPlainText().left(Pick(4)));
        break;
      case 6:
        ClickButton(IDC_LOOP);
        break;
      case 7:
        // As the engine sends it: once the element timer has stopped.
        if (s.TimerIdle == 1) dlg->SendMessage(WM_TX_DONE, 0, 0);
        break;
      case 8:
        dlg->SendMessage(WM_SHOW_KEYED_CHAR, 0, 0);
        s.KeyedCharIndex = Pick(8);
        break;
      case 9:
        ClickButton(IDC_MIKE);
        break;
      case 10:
        ClickButton(std::vector<int>{IDC_AF1, IDC_AF2, IDC_AF3}[Pick(3)]);
        break;
      case 11:
        ClickButton(std::vector<int>{IDC_LSB, IDC_USB, IDC_DSB, IDC_SUM, IDC_PRODUCT}[Pick(5)]);
        break;
      case 12:
        if (waveIn.added != nullptr) waveIn.ReturnBuffer(Pick(2) == 0 ? 88200 : 1000);
        break;
      case 13:
        waveIn.DeliverNotices();
        break;
      case 14:
        timer.Tick();
        break;
      default:
        QTest::qWait(Pick(3));
        break;
    }
  }

  void CheckTheWindowAgreesWithTheState() {
    int checked = 0;
    for (int id = IDC_LSB; id <= IDC_PRODUCT; ++id) {
      checked += qobject_cast<QAbstractButton*>(dlg->Control(id))->isChecked() ? 1 : 0;
    }
    ASSERT_EQ(checked, 1);
    const StationState state = objects->Station.OperatingState;
    ASSERT_GE(state, StationState::Idle);
    ASSERT_LE(state, StationState::ManualFromHeld);
    emit dlg->MenuBar()->findChild<QMenu*>("Config")->aboutToShow();
    for (const auto& [id, enabled] : MenuStateFor(state)) {
      ASSERT_EQ(dlg->MenuItem(id)->isEnabled(), enabled) << "state " << state << " item " << id;
    }
    ASSERT_EQ(timer.Running(), objects->Station.TimerIdle == 0 ? 1u : 0u);
    ASSERT_LE(waveOut.openDevices, 1);
    ASSERT_LE(keyingOut.openDevices, 1);
    ASSERT_LE(waveIn.openDevices, 1);
  }
};

TEST_F(StationMonkey, ThousandsOfRandomStepsThenQuitLeaveNothingOpenOrRunning) {
  StartQuiet();
  dlg->show();
  for (int step = 0; step < 3000; ++step) {
    ASSERT_NO_FATAL_FAILURE(Step()) << "in step " << step;
    ASSERT_NO_FATAL_FAILURE(CheckTheWindowAgreesWithTheState()) << "after step " << step;
  }
  prompts.answers = {IDYES};
  Choose(ID_FILE_EXIT);
  ASSERT_FALSE(dlg->isVisible());
  EXPECT_EQ(timer.Running(), 0u);
  EXPECT_EQ(waveOut.openDevices, 0);
  EXPECT_EQ(keyingOut.openDevices, 0);
  EXPECT_EQ(waveIn.openDevices, 0);
  ExpectNoProgressThreadLeft();
  dlg.reset();
  waveIn.DeliverNotices();  // late notices for a window that is gone change nothing
}

}  // namespace
}  // namespace zudorave::testing
