// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/keying_dlg.h"

#include <gmock/gmock.h>

#include <QAccessible>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "morse/operating_state.h"
#include "platform/testing/fake_joystick.h"
#include "platform/testing/fake_periodic_timer.h"
#include "platform/testing/fake_prompts.h"
#include "platform/testing/fake_render_out.h"
#include "platform/testing/fake_speaker.h"
#include "platform/testing/queued_ui_thread.h"
#include "tests/station_names.h"
#include "ui/dialog_template.h"
#include "ui/keying_edit.h"

namespace zudorave::testing {
namespace {

using ::testing::ElementsAre;

// The prompt and speaker doubles write into one log, so the order of beeps and boxes shows.
struct LoggedPrompts : FakePrompts {
  explicit LoggedPrompts(std::vector<std::string>& into) : log(into) {}
  int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
    log.push_back(text + " / " + caption + " / " + std::to_string(type));
    return FakePrompts::MessageBox(text, caption, type);
  }
  std::vector<std::string>& log;
};

struct LoggedSpeaker : FakeSpeaker {
  explicit LoggedSpeaker(std::vector<std::string>& into) : log(into) {}
  void MessageBeep(uint32_t type) override { log.push_back("MessageBeep " + std::to_string(type)); }
  std::vector<std::string>& log;
};

// SetPaddle leaves its input as the last input; this value says no input came at all.
constexpr int32_t Untouched = -1;

class KeyingDialog : public ::testing::Test {
 protected:
  StationValues station;
  FakeRenderOut keyingOut;
  FakePeriodicTimer timer;
  QueuedUiThread ui;
  int32_t toneHz = 300;
  MorseKeyer keyer{station, keyingOut, timer, ui, toneHz};
  FakeJoystick joystick;
  std::vector<std::string> log;
  LoggedPrompts prompts{log};
  LoggedSpeaker speaker{log};
  int endRuns = 0;
  std::string decodedAtEnd;  // the station's decoded text when the run was ended
  std::unique_ptr<KeyingDlg> dlg;

  void Open(StationState state) {
    dlg.reset();  // its capture goes before the next dialog takes one
    station.OperatingState = state;
    station.Paddles.Store({NoPaddle, Untouched, false, false});
    dlg = std::make_unique<KeyingDlg>(&keyer, station, joystick, prompts, speaker, [this] {
      ++endRuns;
      decodedAtEnd = station.DecodedText.Get();
    });
  }
  void Show() {
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }
  KeyingEdit* Edit() const { return dlg->ControlAs<KeyingEdit>(IDC_KEYING_TEXT); }
  QPushButton* Button(int id) const { return dlg->ControlAs<QPushButton>(id); }
};

TEST_F(KeyingDialog, TheEditIsTheOnlyTabStopAndEveryControlIsNamed) {
  Open(StationState::Idle);
  Show();
  EXPECT_EQ(QApplication::focusWidget(), Edit());
  for (const int id : {IDCANCEL_BUTTON, IDC_KEYING_TEXT, IDC_KEYING_CLEAR}) {
    SCOPED_TRACE(id);
    ASSERT_NE(dlg->Control(id), nullptr);
    const bool tabStop = (dlg->Control(id)->focusPolicy() & Qt::TabFocus) != 0;
    EXPECT_EQ(tabStop, id == IDC_KEYING_TEXT);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(dlg->Control(id));
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
  }
  EXPECT_TRUE(Edit()->isReadOnly());
  EXPECT_EQ(Edit()->font().capitalization(), QFont::AllUppercase);
}

// --- Keys ----------------------------------------------------------------------------------

struct KeyStep {
  bool press;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool autoRepeat;
  int32_t lastInput;  // the last paddle input after the step
};

TEST_F(KeyingDialog, InManualStatesKeysArePaddles) {
  constexpr bool Down = true;
  constexpr bool Up = false;
  constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
  constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
  const std::vector<KeyStep> steps = {
      {Down, Qt::Key_Shift, None, false, NoPaddle},
      {Down, Qt::Key_Less, Shift, false, LeftPaddle},  // Shift and the comma key
      {Up, Qt::Key_Less, Shift, false, NoPaddle},
      {Up, Qt::Key_Shift, None, false, NoPaddle},
      // A held arrow: Qt repeats it as release and press pairs.
      {Down, Qt::Key_Left, None, false, LeftPaddle},
      {Up, Qt::Key_Left, None, true, LeftPaddle},
      {Down, Qt::Key_Left, None, true, LeftPaddle},
      {Up, Qt::Key_Left, None, true, LeftPaddle},
      {Down, Qt::Key_Left, None, true, LeftPaddle},
      {Up, Qt::Key_Left, None, false, NoPaddle},
      {Down, Qt::Key_Period, None, false, RightPaddle},
      {Down, Qt::Key_Tab, None, false, NoPaddle},
      {Down, Qt::Key_Comma, None, false, LeftPaddle},
      {Down, Qt::Key_Escape, None, false, NoPaddle},
      {Down, Qt::Key_Right, None, false, RightPaddle},
      {Up, Qt::Key_Right, None, false, NoPaddle},
      {Down, Qt::Key_Greater, Shift, false, RightPaddle},
      {Down, Qt::Key_A, None, false, NoPaddle},
  };
  for (const StationState state : {StationState::ManualKeying, StationState::ManualFromHeld}) {
    Open(state);
    Edit()->ShowText("CQ DE");
    const int caret = Edit()->textCursor().position();
    for (std::size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE("state " + std::string(Name(state)) + " step " + std::to_string(i));
      const KeyStep& step = steps[i];
      QTest::simulateEvent(Edit(), step.press, step.key, step.modifiers, QString(),
                           step.autoRepeat);
      EXPECT_EQ(station.Paddles.Load().lastInput, step.lastInput);
    }
    EXPECT_EQ(Edit()->toPlainText(), "CQ DE");
    EXPECT_EQ(Edit()->textCursor().position(), caret);
    EXPECT_EQ(endRuns, 0);  // Escape stayed in the edit
  }
}

TEST_F(KeyingDialog, InOtherStatesKeysDoNothingAndStayInTheEdit) {
  const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
      {Qt::Key_Left, Qt::NoModifier},   {Qt::Key_Right, Qt::NoModifier},
      {Qt::Key_Comma, Qt::NoModifier},  {Qt::Key_Less, Qt::ShiftModifier},
      {Qt::Key_Period, Qt::NoModifier}, {Qt::Key_Greater, Qt::ShiftModifier},
      {Qt::Key_Home, Qt::NoModifier},   {Qt::Key_End, Qt::ControlModifier},
      {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_Backspace, Qt::NoModifier},
      {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Escape, Qt::NoModifier},
  };
  for (const StationState state :
       {StationState::Idle, StationState::Transmitting, StationState::Receiving,
        StationState::ReceivingFromHeld, StationState::StoppingTransmit, StationState::Held}) {
    SCOPED_TRACE(state);
    Open(state);
    Edit()->ShowText("CQ DE");
    QTextCursor cursor = Edit()->textCursor();
    cursor.setPosition(2);
    Edit()->setTextCursor(cursor);
    for (const auto& [key, modifiers] : keys) QTest::keyClick(Edit(), key, modifiers);
    EXPECT_EQ(station.Paddles.Load().lastInput, Untouched);
    EXPECT_EQ(Edit()->toPlainText(), "CQ DE");
    EXPECT_EQ(Edit()->textCursor().position(), 2);
    EXPECT_FALSE(Edit()->textCursor().hasSelection());
    EXPECT_EQ(endRuns, 0);
  }
}

TEST_F(KeyingDialog, LosingTheFocusLetsGoInManualStatesOnly) {
  const std::vector<std::pair<StationState, int32_t>> cases = {
      {StationState::ManualKeying, NoPaddle},
      {StationState::ManualFromHeld, NoPaddle},
      {StationState::Idle, Untouched},
      {StationState::Held, Untouched}};
  for (const auto& [state, lastInput] : cases) {
    SCOPED_TRACE(state);
    Open(state);
    Show();
    ASSERT_TRUE(Edit()->hasFocus());
    station.Paddles.Store({NoPaddle, Untouched, false, false});
    Button(IDC_KEYING_CLEAR)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(station.Paddles.Load().lastInput, lastInput);
  }
}

// --- Joystick ------------------------------------------------------------------------------

TEST_F(KeyingDialog, JoystickButtonsArePaddlesInEveryState) {
  struct Step {
    bool press;
    int button;
    int32_t lastInput;
  };
  const std::vector<Step> steps =
      {
          {true, 1, LeftPaddle},  {false, 1, NoPaddle},   {true, 2, RightPaddle},
          {false, 2, NoPaddle},   {true, 3, RightPaddle}, {true, 1, LeftPaddle},
          {true, 4, RightPaddle},  // button 1 is still down, but 4 changed
          {false, 1, NoPaddle},   {true, 1, LeftPaddle},  {false, 3, NoPaddle},
      };
  for (const StationState state :
       {StationState::Idle, StationState::ManualKeying, StationState::Transmitting}) {
    SCOPED_TRACE(state);
    Open(state);
    for (std::size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE(i);
      if (steps[i].press) {
        joystick.Press(steps[i].button);
      } else {
        joystick.Release(steps[i].button);
      }
      // The dialog's own timer polls.
      EXPECT_TRUE(
          QTest::qWaitFor([&] { return station.Paddles.Load().lastInput == steps[i].lastInput; }));
    }
    for (int button = 1; button <= 4; ++button) joystick.Release(button);
    joystick.Poll();
    dlg.reset();
    EXPECT_EQ(joystick.target, nullptr);  // no capture outlives the dialog
  }
}

TEST_F(KeyingDialog, AMissingOrUnpluggedJoystickIsReported) {
  const std::string noDevices =
      "There are no joystick devices installed. / Please use the '<' and '>' keys / 48";
  const std::string noCapture =
      "Couldn't capture the joystick / Please use the '<' and '>' keys / 48";
  struct Case {
    uint32_t devices;
    uint32_t captureResult;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {1, JOYERR_NOERROR, {}},
      {0, JOYERR_PARMS, {noDevices}},
      {1, JOYERR_UNPLUGGED, {"MessageBeep 48", noCapture}},
      {0, JOYERR_UNPLUGGED, {noDevices, "MessageBeep 48", noCapture}},
      {1, JOYERR_NOCANDO, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.captureResult);
    dlg.reset();
    joystick.devices = c.devices;
    joystick.captureResult = c.captureResult;
    joystick.calls.clear();
    log.clear();
    Open(StationState::ManualKeying);
    EXPECT_EQ(log, c.log);
    EXPECT_THAT(joystick.calls, ElementsAre("GetNumDevs", "SetCapture 0"));
  }
}

// --- Clear and Cancel ----------------------------------------------------------------------

TEST_F(KeyingDialog, ClearEmptiesTheTextsAndLeavesPaddlesAndState) {
  Open(StationState::ManualKeying);
  const PaddleValues paddles{LeftPaddle, LeftPaddle, true, false};
  station.Paddles.Store(paddles);
  station.DecodedText.Set("CQ DE");
  dlg->ShowDecodedText("CQ DE");
  ASSERT_EQ(Edit()->toPlainText(), "CQ DE");
  Button(IDC_KEYING_CLEAR)->click();
  EXPECT_EQ(station.DecodedText.Get(), "");
  EXPECT_EQ(Edit()->toPlainText(), "");
  EXPECT_EQ(station.Paddles.Load(), paddles);
  EXPECT_EQ(station.OperatingState, StationState::ManualKeying);
  EXPECT_EQ(endRuns, 0);
}

TEST_F(KeyingDialog, EveryWayToCancelEndsTheRunThenClearsAndCloses) {
  struct Way {
    StationState state;
    std::function<void(KeyingDlg&)> cancel;
  };
  const std::vector<Way> ways = {
      {StationState::ManualKeying,
       [](KeyingDlg& d) { QTest::mouseClick(d.Control(IDCANCEL_BUTTON), Qt::LeftButton); }},
      {StationState::Idle, [](KeyingDlg& d) { d.close(); }},
      {StationState::ManualFromHeld,
       [](KeyingDlg& d) {
         d.Control(IDC_KEYING_CLEAR)->setFocus(Qt::MouseFocusReason);
         QTest::keyClick(d.Control(IDC_KEYING_CLEAR), Qt::Key_Escape);
       }},
  };
  for (std::size_t way = 0; way < ways.size(); ++way) {
    SCOPED_TRACE(way);
    endRuns = 0;
    Open(ways[way].state);
    Show();
    station.DecodedText.Set("CQ DE");
    dlg->ShowDecodedText("CQ DE");
    joystick.calls.clear();
    ways[way].cancel(*dlg);
    EXPECT_EQ(endRuns, 1);
    EXPECT_EQ(decodedAtEnd, "CQ DE");  // the run ended before the text was cleared
    EXPECT_EQ(station.DecodedText.Get(), "");
    EXPECT_EQ(Edit()->toPlainText(), "");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_THAT(joystick.calls, ElementsAre("ReleaseCapture 0"));
    EXPECT_EQ(joystick.target, nullptr);
  }
}

}  // namespace
}  // namespace zudorave::testing
