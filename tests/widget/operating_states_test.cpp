// SPDX-License-Identifier: GPL-3.0-or-later
// The station's operating states through the main dialog: its commands, messages, menu,
// worker threads and the question before quitting, on the device doubles.
#include <gmock/gmock.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <string>

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

class States : public DialogTest {
 protected:
  void SetUp() override { StartQuiet(); }

  StationState State() const { return objects->Station.OperatingState; }
  void SetState(StationState state) { objects->Station.OperatingState = state; }
  void Command(int menuId) { Choose(menuId); }
  // The enabled station controls, in a fixed order, as one string.
  std::string Enabled() const {
    std::string enabled;
    for (const auto& [id, name] : {std::pair{IDC_STOP, "Stop "}, std::pair{IDC_TRANSMIT, "Tx "},
                                   std::pair{IDC_MANUAL, "Manual "}, std::pair{IDC_RECEIVE, "Rx "},
                                   std::pair{IDC_SPACING_SLIDER, "Spacing "}}) {
      if (dlg->Control(id)->isEnabled()) enabled += name;
    }
    return enabled;
  }
  // The box is hidden and disabled: its handler runs as the dialog's own notification.
  void ClickMike() {
    Button(IDC_MIKE)->toggle();
    dlg->OnCommand(IDC_MIKE, BN_CLICKED);
  }
  QPlainTextEdit* Text() const { return Widget<QPlainTextEdit>(IDC_TEXT); }
  void Type(const QString& text) {
    Text()->moveCursor(QTextCursor::End);
    Text()->insertPlainText(text);
  }
  // Stop, and Stop again, which stops the element timer: the end of the transmission follows.
  void StopTransmitting() {
    Command(ID_CONFIG_STOP);
    Command(ID_CONFIG_STOP);
    QCoreApplication::processEvents();
  }
  // Runs the keying dialog's modal run with inspect, then closes it as its Cancel would.
  void WhenTheKeyingDialogOpens(std::function<void()> inspect) {
    WhenModal([inspect](QWidget* modal) {
      inspect();
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
  }
};

TEST_F(States, StopTwiceWhileTransmittingThenOnlyTheEndMessageReturnsToIdle) {
  Text()->setPlainText("cq");
  ASSERT_EQ(State(), StationState::Transmitting);  // typing in Idle sends
  EXPECT_EQ(Enabled(), "Stop ");
  Command(ID_CONFIG_STOP);
  EXPECT_EQ(State(), StationState::StoppingTransmit);
  EXPECT_EQ(Enabled(), "Tx Manual Rx ");
  EXPECT_EQ(timer.Running(), 1u);  // the transmission still ends on its own
  Command(ID_CONFIG_TRANSMIT);     // offered, and does nothing
  // The handler itself: its end message is still to come when the next line looks.
  dlg->OnCommand(ID_CONFIG_STOP, BN_CLICKED);
  EXPECT_EQ(State(), StationState::StoppingTransmit);
  EXPECT_EQ(timer.Running(), 0u);
  EXPECT_EQ(keyingOut.openDevices, 0);
  EXPECT_EQ(dlg->SendMessage(WM_TX_DONE, 0, 0), 0);
  EXPECT_EQ(State(), StationState::Idle);
}

TEST_F(States, ATransmissionEndsByItselfAndTheNextTypedCharacterSendsAgain) {
  Type("e");
  ASSERT_EQ(State(), StationState::Transmitting);
  // The timer's ticks and the output's callbacks; the end comes through the event loop.
  for (int dot = 0; dot < 40 && State() == StationState::Transmitting; ++dot) {
    timer.Tick();
    keyingOut.Pump(MsToSamples(static_cast<uint64_t>(objects->Station.DotMs.load())));
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(timer.Running(), 0u);
  EXPECT_EQ(keyingOut.openDevices, 0);
  Type("t");
  EXPECT_EQ(State(), StationState::Transmitting);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "t");
}

TEST_F(States, TransmitTakesTheWholeTextAndFromHeldKeepsTheKeyedIndex) {
  {
    const QSignalBlocker quiet(Text());
    Text()->setPlainText("test de");
  }
  objects->Station.KeyedCharIndex = 4;
  SetState(StationState::Held);
  Command(ID_CONFIG_TRANSMIT);
  EXPECT_EQ(State(), StationState::Transmitting);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "test de");
  EXPECT_EQ(objects->Station.KeyedCharIndex, 4);
  StopTransmitting();
  ASSERT_EQ(State(), StationState::Idle);
  keyingOut.openResult = MMSYSERR_NODRIVER;  // the timer cannot start: nothing moves
  Command(ID_CONFIG_TRANSMIT);
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(objects->Station.KeyedCharIndex, 0);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "test de");
}

TEST_F(States, TheTextBoxSendsWhatItGainsWholeAndEditingNeverStartsAnything) {
  Text()->setPlainText("abc");  // pasted at once
  EXPECT_EQ(State(), StationState::Transmitting);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "abc");
  EXPECT_EQ(objects->Station.KeyedCharIndex, 0);
  Type("d");
  Type("ef");
  EXPECT_EQ(objects->Station.TransmitText.Get(), "abcdef");
  StopTransmitting();
  objects->Station.SendPosition = 3;
  Text()->setPlainText("ab");  // shorter: taken whole, nothing starts
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "ab");
  EXPECT_EQ(objects->Station.SendPosition, 0);

  // A paste behind text already there is keyed from its first character, in order.
  Type("paris");
  EXPECT_EQ(objects->Station.TransmitText.Get(), "paris");
  EXPECT_EQ(objects->Station.KeyedCharIndex, 2);
  timer.Tick();
  keyingOut.Pump(MsToSamples(1));
  EXPECT_EQ(objects->Station.SendPosition, 0);
  EXPECT_EQ(objects->Station.KeyedCharIndex, 2);
  // Through the handler: the menu's Stop is greyed until the menu next opens.
  dlg->OnCommand(ID_CONFIG_STOP, BN_CLICKED);
  dlg->OnCommand(ID_CONFIG_STOP, BN_CLICKED);
  QCoreApplication::processEvents();
  ASSERT_EQ(State(), StationState::Idle);
  QTextCursor middle(Text()->document());
  middle.setPosition(1);
  middle.insertText("xyz");  // "axyzbparis"
  EXPECT_EQ(objects->Station.TransmitText.Get(), "xyz");
  EXPECT_EQ(objects->Station.KeyedCharIndex, 1);
}

TEST_F(States, AFailedStartFromTheTextBoxLeavesTheStationIdle) {
  keyingOut.openResult = MMSYSERR_NODRIVER;
  Type("e");
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "e");
  EXPECT_EQ(Enabled(), "Tx ");  // as the dialog's start left them
}

TEST_F(States, ReceptionSharesTheCaptureAndItsStopUnticksMike) {
  Command(ID_CONFIG_RECEIVE);
  EXPECT_EQ(State(), StationState::Receiving);
  EXPECT_EQ(waveIn.openDevices, 1);
  EXPECT_EQ(Enabled(), "Stop ");
  ClickMike();  // the same capture
  EXPECT_EQ(waveIn.openDevices, 1);
  EXPECT_EQ(waveOut.openDevices, 1);  // the Mike source plays
  Command(ID_CONFIG_STOP);
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(waveIn.openDevices, 0);
  EXPECT_FALSE(Button(IDC_MIKE)->isChecked());
  EXPECT_EQ(waveOut.openDevices, 0);
  // The partial buffer's late notice: the two-tone signal, then Stop, which does nothing now.
  waveIn.DeliverNotices();
  EXPECT_THAT(speaker.WaitForCalls(2), ::testing::ElementsAre("Beep 1000 60", "Beep 500 60"));
  EXPECT_EQ(State(), StationState::Idle);
}

TEST_F(States, UntickingMikeDuringAReceptionLeavesTheCaptureToIt) {
  ClickMike();
  Command(ID_CONFIG_RECEIVE);
  ClickMike();
  EXPECT_EQ(waveIn.openDevices, 1);
  EXPECT_EQ(State(), StationState::Receiving);
}

TEST_F(States, TypingDuringAReceptionStopsItThenSends) {
  SetState(StationState::Held);
  Command(ID_CONFIG_RECEIVE);
  ASSERT_EQ(State(), StationState::ReceivingFromHeld);
  Type("k");
  EXPECT_EQ(waveIn.openDevices, 0);
  EXPECT_EQ(State(), StationState::Transmitting);  // from Held, with the whole text
  EXPECT_EQ(objects->Station.TransmitText.Get(), "k");
}

TEST_F(States, TheEndMessageDuringAReceptionReturnsToIdleAndKeepsTheCapture) {
  Command(ID_CONFIG_RECEIVE);
  dlg->SendMessage(WM_TX_DONE, 0, 0);
  EXPECT_EQ(State(), StationState::Idle);
  EXPECT_EQ(waveIn.openDevices, 1);
}

TEST_F(States, ManualFromHeldRunsTheKeyingDialogAndItsEndReturnsToHeld) {
  SetState(StationState::Held);
  WhenTheKeyingDialogOpens([this] {
    EXPECT_EQ(State(), StationState::ManualFromHeld);
    EXPECT_EQ(timer.Running(), 1u);
    EXPECT_EQ(Enabled(), "");
  });
  Command(ID_CONFIG_MANUAL);
  EXPECT_EQ(State(), StationState::Held);
  EXPECT_EQ(timer.Running(), 0u);
  EXPECT_EQ(Enabled(), "Tx Manual Spacing ");
}

TEST_F(States, AMenuCommandPressedThroughAccessibilityReturnsAtOnceAndRunsAfter) {
  QMenu* config = nullptr;
  for (QMenu* popup : dlg->MenuBar()->findChildren<QMenu*>()) {
    if (popup->objectName() == "Config") config = popup;
  }
  ASSERT_NE(config, nullptr);
  QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(config);
  QAccessibleInterface* manual = nullptr;
  for (int i = 0; i < menu->childCount(); ++i) {
    if (menu->child(i)->text(QAccessible::Name).contains("Manual")) manual = menu->child(i);
  }
  ASSERT_NE(manual, nullptr);
  bool pressing = true;
  bool openedDuringThePress = false;
  bool opened = false;
  WhenTheKeyingDialogOpens([&] {
    opened = true;
    openedDuringThePress = pressing;
  });
  manual->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  pressing = false;
  EXPECT_FALSE(openedDuringThePress);
  QCoreApplication::processEvents();
  EXPECT_TRUE(opened);
  EXPECT_EQ(State(), StationState::Idle);
}

TEST_F(States, TheProgressThreadFollowsTheKeyedCharacterAndRestoresTheButtons) {
  dlg->show();
  QString lines;
  for (int line = 0; line < 40; ++line) lines += "x\n";  // two characters a line
  Text()->setPlainText(lines);
  ASSERT_EQ(State(), StationState::Transmitting);
  QTextCursor end = Text()->textCursor();
  end.movePosition(QTextCursor::End);
  Text()->setTextCursor(end);  // where the operator types
  Text()->verticalScrollBar()->setValue(0);
  const auto caretAt = [this] {
    const auto* caret = dlg->findChild<QWidget*>("KeyedCaret");
    return caret != nullptr ? caret->pos() : QPoint(-1, -1);
  };
  const auto character = [this](int position) {
    QTextCursor at(Text()->document());
    at.setPosition(position);
    return Text()->cursorRect(at).topLeft();
  };
  objects->Station.KeyedCharIndex = 2;  // line 1
  QTRY_COMPARE(caretAt(), character(2));
  EXPECT_EQ(Text()->textCursor().position(), end.position());
  objects->Station.KeyedCharIndex = 30;  // line 15: two lines down, not to the character
  QTRY_COMPARE(caretAt(), character(30));
  EXPECT_EQ(Text()->verticalScrollBar()->value(), 2);
  // The caret is drawn apart: what is typed meanwhile goes where the operator types, the end.
  Text()->insertPlainText("k");
  EXPECT_EQ(objects->Station.TransmitText.Get().back(), 'k');
  dlg->SendMessage(WM_TX_DONE, 0, 0);
  EXPECT_FALSE(dlg->Control(IDC_MANUAL)->isEnabled());  // only the thread gives it back
  QTRY_VERIFY(dlg->Control(IDC_MANUAL)->isEnabled());
  EXPECT_EQ(Enabled(), "Tx Manual Rx ");
}

TEST_F(States, TheMenuFollowsTheStateEveryTimeItOpens) {
  auto* config = dlg->MenuBar()->findChild<QMenu*>("Config");
  ASSERT_NE(config, nullptr);
  for (const StationState state : AllStationStates) {
    SetState(state);
    emit config->aboutToShow();
    for (const auto& [id, enabled] : MenuStateFor(state)) {
      EXPECT_EQ(dlg->MenuItem(id)->isEnabled(), enabled) << "state " << state << " item " << id;
    }
    EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SPEAKER)->isEnabled());  // "OS" is not Windows_NT here
    EXPECT_TRUE(dlg->MenuItem(ID_FILE_EXIT)->isEnabled());
  }
  SetState(StationState::StoppingTransmit);
  dlg->SendMessage(WM_MENU_REFRESH_AGAIN, 0, 0);
  EXPECT_TRUE(dlg->MenuItem(ID_CONFIG_MANUAL)->isEnabled());
  EXPECT_FALSE(dlg->MenuItem(ID_FILE_SAVE)->isEnabled());
}

TEST_F(States, QuittingAsksOnlyWhereTheStationIsBusyOrHeld) {
  for (const StationState state : AllStationStates) {
    SetState(state);
    prompts.messages.clear();
    prompts.answers = {IDNO};
    const bool asks =
        state == StationState::Transmitting || Receives(state) || state == StationState::Held;
    EXPECT_EQ(dlg->CanQuit(), !asks) << state;
    ASSERT_EQ(prompts.messages.size(), asks ? 1u : 0u) << state;
    if (asks) {
      EXPECT_EQ(prompts.messages[0].text, "Realy want to quit this application?");
      EXPECT_EQ(prompts.messages[0].caption, "ACHTUNG");
      EXPECT_EQ(prompts.messages[0].type, 36u);
    }
  }
}

TEST_F(States, QuittingAReceptionClosesTheCaptureAndATransmissionStopsTheTimer) {
  Command(ID_CONFIG_RECEIVE);
  prompts.answers = {IDYES};
  EXPECT_TRUE(dlg->CanQuit());
  EXPECT_EQ(waveIn.openDevices, 0);
  EXPECT_EQ(State(), StationState::Idle);

  Type("q");
  ASSERT_EQ(State(), StationState::Transmitting);
  dlg->show();
  prompts.answers = {IDYES};
  Choose(ID_FILE_EXIT);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(timer.Running(), 0u);
  // Left as it was; its thread is joined all the same.
  EXPECT_EQ(State(), StationState::Transmitting);
  ExpectNoProgressThreadLeft();
}

// A signal to end the program: no question, though the station is busy, and everything that
// quitting stops is stopped.
TEST_F(States, EndingWithoutAskingStopsTheBusyStationAndAsksNothing) {
  dlg->show();
  Button(IDC_AF1)->click();
  Type("q");
  ASSERT_EQ(State(), StationState::Transmitting);
  prompts.answers = {IDNO};
  dlg->EndWithoutAsking();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_EQ(waveOut.openDevices, 0);
  EXPECT_EQ(keyingOut.openDevices, 0);
  EXPECT_EQ(timer.Running(), 0u);
  ExpectNoProgressThreadLeft();
}

class StationPanel : public DialogTest {};

TEST_F(StationPanel, ShowsTheHiddenControlsThemselvesAndTheyActAsTheMenuDoes) {
  dlg = std::make_unique<MainDlg>(ContextFor(*objects, Devices(), prompts, environment, true));
  dlg->Create();
  dlg->show();
  for (const int id : {IDC_TEXT, IDC_SPEED_SLIDER, IDC_SPACING_SLIDER, IDC_TRANSMIT, IDC_STOP,
                       IDC_MANUAL, IDC_RECEIVE, IDC_LOOP}) {
    EXPECT_TRUE(dlg->Control(id)->isVisible()) << id;
  }
  QTest::keyClick(Widget<QSlider>(IDC_SPEED_SLIDER), Qt::Key_End);
  EXPECT_EQ(objects->Station.DotMs, 48);
  Widget<QPlainTextEdit>(IDC_TEXT)->setFocus();
  QTest::keyClicks(Widget<QPlainTextEdit>(IDC_TEXT), "t");
  EXPECT_EQ(objects->Station.OperatingState, StationState::Transmitting);
  EXPECT_FALSE(dlg->Control(IDC_MANUAL)->isEnabled());
  Button(IDC_STOP)->click();
  EXPECT_EQ(objects->Station.OperatingState, StationState::StoppingTransmit);
}

TEST_F(StationPanel, TheWindowIsDisabledWhileTheKeyingDialogRunsHoweverItOpens) {
  dlg = std::make_unique<MainDlg>(ContextFor(*objects, Devices(), prompts, environment, true));
  dlg->Create();
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"the panel's button", [this] { Button(IDC_MANUAL)->click(); }},
      {"the menu", [this] { Choose(ID_CONFIG_MANUAL); }},
  };
  for (const auto& [way, open] : ways) {
    bool seen = false;
    WhenModal([&, way = way](QWidget* modal) {
      seen = true;
      EXPECT_FALSE(dlg->isEnabled()) << way;
      EXPECT_FALSE(dlg->MenuBar()->isEnabled()) << way;
      EXPECT_TRUE(modal->isEnabled()) << way;
      qobject_cast<QDialog*>(modal)->reject();
    });
    open();
    EXPECT_TRUE(seen) << way;
    EXPECT_TRUE(dlg->isEnabled()) << way;
    EXPECT_EQ(objects->Station.OperatingState, StationState::Idle) << way;
  }
}

}  // namespace
}  // namespace zudorave::testing
