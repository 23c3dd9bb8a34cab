// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main_dlg.h"

#include <gmock/gmock.h>

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTest>
#include <vector>

#include "capture/capture_queue.h"
#include "dialog_fixture.h"
#include "morse/key_sequencer.h"
#include "morse/operating_state.h"
#include "tests/station_names.h"
#include "ui/about_dlg.h"
#include "ui/dialog_template.h"
#include "ui/menu_resource.h"
#include "ui/up_down.h"

namespace zudorave::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// True when the generator's oscillator holds the arrays of the given frequency.
bool OscillatorAt(const SndTx& tx, int32_t index, int32_t frequency) {
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx reference(SndTx::InitialAf1Frequency, device, filled);
  reference.FillOscillator(index, frequency);
  for (int j : {1, 7, 100, 4410, 30001, SndTx::SampleCount - 1}) {
    if (tx.SineArray(index)[j] != reference.SineArray(index)[j]) return false;
    if (tx.CosineArray(index)[j] != reference.CosineArray(index)[j]) return false;
  }
  return true;
}

int CheckedModes(MainDlg& dlg) {
  int checked = 0;
  for (int id = IDC_LSB; id <= IDC_PRODUCT; ++id) {
    checked += qobject_cast<QAbstractButton*>(dlg.Control(id))->isChecked() ? 1 : 0;
  }
  return checked;
}

// --- Start-up ----------------------------------------------------------------------------

using StartUp = DialogTest;

TEST_F(StartUp, ControlsShowTheirFirstValues) {
  Start();
  auto* slider = qobject_cast<QSlider*>(dlg->Control(IDC_AF1_SLIDER));
  EXPECT_EQ(slider->minimum(), 10);
  EXPECT_EQ(slider->maximum(), 2000);
  EXPECT_EQ(slider->value(), 300);
  EXPECT_EQ(slider->tickInterval(), 100);
  EXPECT_EQ(qobject_cast<QLabel*>(dlg->Control(IDC_AF1_LABEL))->text(), "300");
  EXPECT_EQ(Edit(IDC_AF2_EDIT)->text(), "2,400");
  EXPECT_EQ(Edit(IDC_AF3_EDIT)->text(), "15,000");
  EXPECT_EQ(Widget<UpDown>(IDC_AF3_SPIN)->Lower(), 300);  // although its group box reads 1000
  EXPECT_EQ(Widget<UpDown>(IDC_AF3_SPIN)->Upper(), 18000);
  EXPECT_EQ(Widget<UpDown>(IDC_AF2_SPIN)->Lower(), 100);
  EXPECT_EQ(Widget<UpDown>(IDC_AF2_SPIN)->Upper(), 4000);
  auto* speed = Widget<QSlider>(IDC_SPEED_SLIDER);
  EXPECT_EQ(speed->value(), 7);
  EXPECT_EQ(speed->minimum(), 5);
  EXPECT_EQ(speed->maximum(), 25);
  EXPECT_EQ(Widget<QSlider>(IDC_SPACING_SLIDER)->value(), 0);
  EXPECT_EQ(Widget<QSlider>(IDC_SPACING_SLIDER)->maximum(), 1000);
  EXPECT_TRUE(Button(IDC_SUM)->isChecked());
  EXPECT_EQ(CheckedModes(*dlg), 1);
  for (int id : {IDC_AF1, IDC_AF2, IDC_AF3, IDC_MIKE}) EXPECT_FALSE(Button(id)->isChecked());
  EXPECT_TRUE(dlg->Control(IDC_TRANSMIT)->isEnabled());
  EXPECT_FALSE(dlg->Control(IDC_STOP)->isEnabled());
}

TEST_F(StartUp, MembersAndSettingsAfterInitialisation) {
  Start();
  EXPECT_EQ(waveOut.openDevices, 0);  // no source plays
  EXPECT_EQ(objects->Station.IgnoreSpaces, 1);
  EXPECT_EQ(objects->Station.UseSpeaker, 0);
  EXPECT_TRUE(objects->Tx.Sinus());
  EXPECT_TRUE(dlg->MenuItem(ID_OPTION_SINUS)->isChecked());
  EXPECT_TRUE(dlg->MenuItem(ID_OPTION_IGNORE_SPACES)->isChecked());
  EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
}

TEST_F(StartUp, TheCapturePoolIsFilledBeforeTheWindowExists) {
  dlg = std::make_unique<MainDlg>(ContextFor(*objects, Devices(), prompts, environment));
  EXPECT_TRUE(objects->Pool.Created());
  EXPECT_EQ(objects->FreeQueue.Size(), 8u);
  EXPECT_EQ(dlg->Control(IDC_AF1), nullptr);
}

TEST_F(StartUp, TextsWrittenDuringInitialisationDoNotRetune) {
  Start();
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 2400));
  EXPECT_TRUE(OscillatorAt(objects->Tx, 3, 15000));
}

TEST_F(StartUp, TheFirstControlHasTheFocus) {
  Start();
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  EXPECT_EQ(QApplication::focusWidget(), dlg->Control(IDC_PRODUCT));
}

TEST_F(StartUp, WindowIsFixedAndCaptioned) {
  Start();
  EXPECT_EQ(dlg->windowTitle(), "By Zuderiv");
  EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
  EXPECT_FALSE(dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(dlg->windowIcon().isNull());
}

// --- The playback probe ------------------------------------------------------------------

class Probe : public DialogTest {
 protected:
  // "Use Speaker" is greyed as a menu opens unless "OS" is exactly Windows_NT.
  bool SpeakerOfferedWhenTheMenuOpens() {
    emit dlg->MenuBar()->findChild<QMenu*>("Config")->aboutToShow();
    return dlg->MenuItem(ID_OPTION_SPEAKER)->isEnabled();
  }
};

TEST_F(Probe, AWorkingDeviceIsOpenedAndClosedAtOnceWithoutAMessage) {
  for (const char* os : {"Windows_NT", "Linux"}) {
    environment.values["OS"] = os;
    waveOut.calls.clear();
    Start();
    EXPECT_THAT(waveOut.calls, ElementsAre("Open 44100", "Prepare 8820 flags 12 loops 10000",
                                           "Unprepare", "Reset", "Close"));
    EXPECT_EQ(waveOut.openDevices, 0);
    EXPECT_THAT(prompts.messages, IsEmpty());
    EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
  }
}

TEST_F(Probe, AMissingDeviceWarnsAndOnWindowsNtSwitchesToTheSpeaker) {
  waveOut.openResult = MMSYSERR_NODRIVER;
  environment.values["OS"] = "Windows_NT";
  Start();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Can not open the audio port!");
  EXPECT_EQ(prompts.messages[0].caption, " WARNING");
  EXPECT_EQ(prompts.messages[0].type, 0x30u);
  EXPECT_TRUE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
  EXPECT_EQ(objects->Station.UseSpeaker, 1);
  EXPECT_TRUE(SpeakerOfferedWhenTheMenuOpens());
}

TEST_F(Probe, AMissingDeviceOnlyWarnsUnlessOsIsExactlyWindowsNt) {
  waveOut.openResult = MMSYSERR_NODRIVER;
  for (const char* os :
       std::initializer_list<const char*>{"", "windows_nt", "Windows_NT ", "Linux", nullptr}) {
    environment.values.clear();
    if (os != nullptr) environment.values["OS"] = os;
    prompts.messages.clear();
    objects->Station.UseSpeaker = 0;
    Start();
    SCOPED_TRACE(os == nullptr ? "(absent)" : os);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(SpeakerOfferedWhenTheMenuOpens());
    EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
    EXPECT_EQ(objects->Station.UseSpeaker, 0);
  }
}

// --- Sources and the playback device ------------------------------------------------------

using Sources = DialogTest;

TEST_F(Sources, FirstSourceOpensRendersAndLoopsTheSecond) {
  StartQuiet();
  Button(IDC_AF1)->click();
  EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit));
  EXPECT_THAT(waveOut.calls, ElementsAre("Open 44100", "Prepare 0 flags 12 loops 10000",
                                         "Write 88200 flags 12 loops 10000"));
  EXPECT_EQ(objects->Tx.OutputSample(0), 0);
  EXPECT_EQ(objects->Tx.OutputSample(1), 1394);  // 300 Hz, one sample in
}

TEST_F(Sources, FurtherSourcesOnlyReRender) {
  StartQuiet();
  Button(IDC_AF1)->click();
  waveOut.calls.clear();
  const int16_t before = objects->Tx.OutputSample(100);
  Button(IDC_AF2)->click();
  EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit | Af2Bit));
  EXPECT_THAT(waveOut.calls, IsEmpty());
  EXPECT_NE(objects->Tx.OutputSample(100), before);
  Button(IDC_AF3)->click();
  EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit | Af2Bit | Af3Bit));
}

TEST_F(Sources, LastSourceOffClosesTheDevice) {
  StartQuiet();
  Button(IDC_AF1)->click();
  Button(IDC_AF2)->click();
  Button(IDC_AF1)->click();
  EXPECT_EQ(waveOut.openDevices, 1);
  waveOut.calls.clear();
  Button(IDC_AF2)->click();
  EXPECT_THAT(waveOut.calls, ElementsAre("Unprepare", "Reset", "Close"));
  EXPECT_EQ(waveOut.openDevices, 0);
}

TEST_F(Sources, AToneKeepsPlayingThroughAKeyingRunAndStopsWhenUnticked) {
  StartQuiet();
  Button(IDC_AF1)->click();
  waveOut.calls.clear();
  Choose(ID_CONFIG_TRANSMIT);
  EXPECT_EQ(keyingOut.openDevices, 1);
  Choose(ID_CONFIG_STOP);
  Choose(ID_CONFIG_STOP);  // the second stops the element timer
  EXPECT_EQ(keyingOut.openDevices, 0);
  QCoreApplication::processEvents();      // the end of the transmission
  EXPECT_THAT(waveOut.calls, IsEmpty());  // the tone's loop was never touched
  Button(IDC_AF1)->click();
  EXPECT_THAT(waveOut.calls, ElementsAre("Unprepare", "Reset", "Close"));
  EXPECT_EQ(waveOut.openDevices, 0);
}

TEST_F(Sources, AnyBoxClickedTakesTheSourcesFromAllTheBoxes) {
  StartQuiet();
  Button(IDC_AF3)->setChecked(true);  // checked, but no handler ran
  Button(IDC_AF1)->click();
  EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit | Af3Bit));
  Button(IDC_MIKE)->setChecked(true);
  Button(IDC_AF3)->setChecked(false);
  dlg->OnCommand(IDC_AF2, BN_CLICKED);  // the AF2 box itself stays unchecked
  EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit | MikeBit));
}

// --- Mixing modes ------------------------------------------------------------------------

using Modes = DialogTest;

TEST_F(Modes, ExactlyOneModeIsCheckedWhateverIsClicked) {
  StartQuiet();
  for (int id : {IDC_LSB, IDC_PRODUCT, IDC_PRODUCT, IDC_USB, IDC_DSB, IDC_SUM}) {
    Button(id)->click();
    EXPECT_TRUE(Button(id)->isChecked());
    EXPECT_EQ(CheckedModes(*dlg), 1);
  }
}

TEST_F(Modes, AModeClickedInSilenceRendersWithoutPlaying) {
  StartQuiet();
  Button(IDC_AF1)->setChecked(true);  // checked, but no handler ran: the mask is still 0
  Button(IDC_LSB)->click();
  EXPECT_THAT(waveOut.calls, IsEmpty());
  Button(IDC_AF1)->setChecked(false);
  Button(IDC_AF1)->click();
  Button(IDC_AF3)->click();
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx reference(SndTx::InitialAf1Frequency, device, filled);
  reference.Mix(MixMode::Lsb, Af1Bit | Af3Bit);
  for (int j : {0, 1, 2, 500, 44099})
    EXPECT_EQ(objects->Tx.OutputSample(j), reference.OutputSample(j));
}

// --- The accessibility layer's actions ---------------------------------------------------

using AccessibleActions = DialogTest;

// What a screen reader or an automation tool does to a button.
void DoAction(QWidget* button, const QString& action) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
  ASSERT_NE(face, nullptr);
  ASSERT_NE(face->actionInterface(), nullptr);
  face->actionInterface()->doAction(action);
  QCoreApplication::processEvents();
}

TEST_F(AccessibleActions, ToggleAndPressRunTheSourceHandlerOnceEachWay) {
  for (const QString& action :
       {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()}) {
    SCOPED_TRACE(action.toStdString());
    StartQuiet();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Button(IDC_AF1));
    EXPECT_EQ(face->role(), QAccessible::CheckBox);
    DoAction(Button(IDC_AF1), action);
    EXPECT_TRUE(face->state().checked);
    EXPECT_TRUE(Renders(MixMode::Sum, Af1Bit));
    EXPECT_THAT(waveOut.calls, ElementsAre("Open 44100", "Prepare 0 flags 12 loops 10000",
                                           "Write 88200 flags 12 loops 10000"));
    waveOut.calls.clear();
    // A handler run twice, or not at all, leaves the device open or opens it again.
    DoAction(Button(IDC_AF1), action);
    EXPECT_FALSE(Button(IDC_AF1)->isChecked());
    EXPECT_THAT(waveOut.calls, ElementsAre("Unprepare", "Reset", "Close"));
  }
}

TEST_F(AccessibleActions, ToggleChoosesAModeAndReRenders) {
  StartQuiet();
  Button(IDC_AF1)->click();
  Button(IDC_AF3)->click();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Button(IDC_LSB))->role(),
            QAccessible::RadioButton);
  DoAction(Button(IDC_LSB), QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(Button(IDC_LSB)->isChecked());
  EXPECT_EQ(CheckedModes(*dlg), 1);
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx reference(SndTx::InitialAf1Frequency, device, filled);
  reference.Mix(MixMode::Lsb, Af1Bit | Af3Bit);
  for (int j : {1, 2, 500, 44099}) {
    EXPECT_EQ(objects->Tx.OutputSample(j), reference.OutputSample(j));
  }
}

// --- AF1 trackbar ------------------------------------------------------------------------

using Af1Trackbar = DialogTest;

TEST_F(Af1Trackbar, MovingItRetunesAndRelabels) {
  StartQuiet();
  Button(IDC_AF1)->click();
  Widget<QSlider>(IDC_AF1_SLIDER)->setSliderPosition(1000);
  EXPECT_EQ(Widget<QLabel>(IDC_AF1_LABEL)->text(), "1000");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 1000));
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx reference(1000, device, filled);
  reference.Mix(MixMode::Sum, Af1Bit);
  EXPECT_EQ(objects->Tx.OutputSample(1), reference.OutputSample(1));
  EXPECT_THAT(waveOut.calls, ElementsAre("Open 44100", "Prepare 0 flags 12 loops 10000",
                                         "Write 88200 flags 12 loops 10000"));
}

TEST_F(Af1Trackbar, WhileTransmittingTheToneIsHeldBackUntilTheTransmissionEnds) {
  StartQuiet();
  objects->Station.OperatingState = StationState::Transmitting;
  Widget<QSlider>(IDC_AF1_SLIDER)->setSliderPosition(1000);
  EXPECT_EQ(Widget<QLabel>(IDC_AF1_LABEL)->text(), "1000");
  EXPECT_EQ(objects->Station.ToneChangePending, 1);
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 300));
  dlg->SendMessage(WM_TX_DONE, 0, 0);
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 1000));
  EXPECT_EQ(objects->Station.ToneChangePending, 0);
}

TEST_F(Af1Trackbar, AMoveWhileSendingIsKeyedFromTheNextCharacter) {
  StartQuiet();
  {
    const QSignalBlocker quiet(Widget<QPlainTextEdit>(IDC_TEXT));
    Widget<QPlainTextEdit>(IDC_TEXT)->setPlainText("ee");  // dots at 0 and 4 x 171 ms
  }
  Choose(ID_CONFIG_TRANSMIT);
  timer.Tick();
  keyingOut.Pump(MsToSamples(50));
  Widget<QSlider>(IDC_AF1_SLIDER)->setSliderPosition(1000);
  keyingOut.Pump(MsToSamples(900));
  const auto signChanges = [this](uint64_t fromMs, uint64_t toMs) {
    int changes = 0;
    for (uint64_t i = MsToSamples(fromMs); i < MsToSamples(toMs); ++i) {
      changes += (keyingOut.played[i] < 0) != (keyingOut.played[i + 1] < 0) ? 1 : 0;
    }
    return changes;
  };
  EXPECT_NEAR(signChanges(20, 160), 2 * 300 * 140 / 1000, 1);
  EXPECT_NEAR(signChanges(700, 840), 2 * 1000 * 140 / 1000, 1);
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 300));  // the loop waits for the end
}

TEST_F(Af1Trackbar, ScrollWithoutAMoveOnlyRelabels) {
  StartQuiet();
  Widget<QLabel>(IDC_AF1_LABEL)->setText("x");
  Widget<UpDown>(IDC_AF2_SPIN)->Step(+1);  // an up-down arrow is a horizontal scroll too
  EXPECT_EQ(Widget<QLabel>(IDC_AF1_LABEL)->text(), "300");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 300));
  EXPECT_EQ(objects->Station.ToneChangePending, 0);
}

TEST_F(Af1Trackbar, EveryScrollTakesTheSpeedAndSpacingFirst) {
  StartQuiet();
  objects->Station.SpacingFlag = 0;
  auto* speed = Widget<QSlider>(IDC_SPEED_SLIDER);
  auto* spacing = Widget<QSlider>(IDC_SPACING_SLIDER);
  speed->setValue(25);  // hidden trackbars notify like any other
  EXPECT_EQ(objects->Station.DotMs, 48);
  spacing->setValue(11);
  EXPECT_EQ(objects->Station.ExtraSpacing, 11);
  EXPECT_EQ(objects->Station.SpacingFlag, 1);
  {
    const QSignalBlocker quiet(speed);
    const QSignalBlocker quieter(spacing);
    speed->setValue(10);
    spacing->setValue(500);
  }
  Widget<QSlider>(IDC_AF1_SLIDER)->setSliderPosition(400);
  EXPECT_EQ(objects->Station.DotMs, 120);
  EXPECT_EQ(objects->Station.ExtraSpacing, 500);
}

TEST_F(Af1Trackbar, KeyboardMovesReachTheHandler) {
  StartQuiet();
  auto* slider = Widget<QSlider>(IDC_AF1_SLIDER);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(Widget<QLabel>(IDC_AF1_LABEL)->text(), "301");
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(Widget<QLabel>(IDC_AF1_LABEL)->text(), "2000");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 1, 2000));
}

// --- AF2 and AF3 fields ------------------------------------------------------------------

using Fields = DialogTest;

TEST_F(Fields, TypingDigitByDigitAppliesOnlyInRangeValues) {
  StartQuiet();
  QLineEdit* edit = Edit(IDC_AF2_EDIT);
  edit->clear();
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 2400));
  QTest::keyClicks(edit, "3");
  QTest::keyClicks(edit, "0");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 2400));  // 3 and 30 are below 100
  QTest::keyClicks(edit, "0");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 300));
  QTest::keyClicks(edit, "0");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 3000));
  EXPECT_EQ(edit->text(), "3000");
}

TEST_F(Fields, AnAppliedFieldReRendersTheSelectedMode) {
  StartQuiet();
  Button(IDC_AF2)->click();
  Edit(IDC_AF2_EDIT)->setText("1000");
  FakeWaveOut device;
  CaptureQueue filled;
  SndTx reference(SndTx::InitialAf1Frequency, device, filled);
  reference.FillOscillator(2, 1000);
  reference.Mix(MixMode::Sum, Af2Bit);
  for (int j : {1, 2, 333}) EXPECT_EQ(objects->Tx.OutputSample(j), reference.OutputSample(j));
}

TEST_F(Fields, NothingIsAppliedBeforeTheControlsAreReady) {
  // Elsewhere than the texts initialisation writes (0, then 2,400 and 15,000).
  objects->Tx.FillOscillator(2, 1000);
  objects->Tx.FillOscillator(3, 1000);
  StartQuiet();
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 1000));
  EXPECT_TRUE(OscillatorAt(objects->Tx, 3, 1000));
  Edit(IDC_AF2_EDIT)->setText("2000");  // ready now
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 2000));
}

TEST_F(Fields, Af3OutOfRangeIsIgnoredAndTheTextStays) {
  StartQuiet();
  Edit(IDC_AF3_EDIT)->setText("50");
  EXPECT_EQ(Edit(IDC_AF3_EDIT)->text(), "50");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 3, 15000));
  EXPECT_THAT(prompts.messages, IsEmpty());
  Edit(IDC_AF3_EDIT)->setText("300");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 3, 300));
}

TEST_F(Fields, Af2AppliesDuringATransmission) {
  StartQuiet();
  objects->Station.OperatingState = StationState::Transmitting;
  Edit(IDC_AF2_EDIT)->setText("4000");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 4000));
}

TEST_F(Fields, WhateverIsPastedNothingBreaks) {
  StartQuiet();
  const std::vector<std::pair<QString, int32_t>> pasted = {
      {"", 2400},
      {" ", 2400},
      {"abc", 2400},
      {"-300", 2400},
      {"--1", 2400},
      {",", 2400},
      {"300abc", 2400},
      {"4001", 2400},
      {"99", 2400},
      {"0", 2400},
      {"12345678901234567890", 2400},
      {"2147483648", 2400},
      {"-2147483648", 2400},
      {"0300", 300},
      {" 1,234 ", 1234},
      {"3,000", 3000},
      {"1,2,3", 123},
  };
  for (const auto& [text, frequency] : pasted) {
    SCOPED_TRACE(text.toStdString());
    Edit(IDC_AF2_EDIT)->setText("2400");
    Edit(IDC_AF2_EDIT)->setText(text);
    EXPECT_EQ(Edit(IDC_AF2_EDIT)->text(), text);
    EXPECT_TRUE(OscillatorAt(objects->Tx, 2, frequency));
  }
  EXPECT_THAT(prompts.messages, IsEmpty());
}

TEST_F(Fields, TheKeyboardTakesDigitsOnly) {
  StartQuiet();
  QLineEdit* edit = Edit(IDC_AF3_EDIT);
  edit->clear();
  QTest::keyClicks(edit, "1x2- 0a0");
  EXPECT_EQ(edit->text(), "1200");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 3, 1200));
}

TEST_F(Fields, ArrowsStepAndWrapTheField) {
  StartQuiet();
  Edit(IDC_AF2_EDIT)->setText("4000");
  Widget<UpDown>(IDC_AF2_SPIN)->Step(+1);
  EXPECT_EQ(Edit(IDC_AF2_EDIT)->text(), "100");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 100));
  QTest::keyClick(Edit(IDC_AF2_EDIT), Qt::Key_Down);
  EXPECT_EQ(Edit(IDC_AF2_EDIT)->text(), "4,000");
  EXPECT_TRUE(OscillatorAt(objects->Tx, 2, 4000));
}

// --- Option menu -------------------------------------------------------------------------

using Options = DialogTest;

TEST_F(Options, SinusTwiceReturnsToTheStart) {
  StartQuiet();
  Choose(ID_OPTION_SINUS);
  EXPECT_FALSE(objects->Tx.Sinus());
  EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SINUS)->isChecked());
  Choose(ID_OPTION_SINUS);
  EXPECT_TRUE(objects->Tx.Sinus());
  EXPECT_TRUE(dlg->MenuItem(ID_OPTION_SINUS)->isChecked());
  EXPECT_EQ(objects->Station.ToneChangePending, 0);
}

TEST_F(Options, SinusWhileTransmittingFlagsTheToneChange) {
  StartQuiet();
  objects->Station.OperatingState = StationState::Transmitting;
  dlg->OnCommand(ID_OPTION_SINUS, BN_CLICKED);
  EXPECT_FALSE(objects->Tx.Sinus());
  EXPECT_EQ(objects->Station.ToneChangePending, 1);
}

TEST_F(Options, SpeakerAndIgnoreSpacesToggleTheirProgramWideCopies) {
  StartQuiet();
  Choose(ID_OPTION_SPEAKER);
  EXPECT_TRUE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
  EXPECT_EQ(objects->Station.UseSpeaker, 1);
  Choose(ID_OPTION_IGNORE_SPACES);
  EXPECT_FALSE(dlg->MenuItem(ID_OPTION_IGNORE_SPACES)->isChecked());
  EXPECT_EQ(objects->Station.IgnoreSpaces, 0);
  Choose(ID_OPTION_SPEAKER);
  EXPECT_EQ(objects->Station.UseSpeaker, 0);
  EXPECT_FALSE(dlg->MenuItem(ID_OPTION_SPEAKER)->isChecked());
}

// --- Microphone --------------------------------------------------------------------------

using Mike = DialogTest;

TEST_F(Mike, AFailedOpenIsReportedAndTheBitStillFollowsTheBox) {
  waveIn.openResult = MMSYSERR_NODRIVER;
  StartQuiet();
  Button(IDC_MIKE)->setChecked(true);
  EXPECT_TRUE(dlg->OnCommand(IDC_MIKE, BN_CLICKED));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "OnCheckMike() - OpenSndRx() failed! ");
  EXPECT_EQ(prompts.messages[0].type, MB_OK);
  // The Mike source plays all the same: the output opens and loops.
  EXPECT_THAT(waveOut.calls, ElementsAre("Open 44100", "Prepare 0 flags 12 loops 10000",
                                         "Write 88200 flags 12 loops 10000"));
}

TEST_F(Mike, TickingRecordsIntoTheFilledQueueAndUntickingCloses) {
  StartQuiet();
  Button(IDC_MIKE)->setChecked(true);
  dlg->OnCommand(IDC_MIKE, BN_CLICKED);
  EXPECT_THAT(prompts.messages, IsEmpty());
  EXPECT_EQ(waveIn.openDevices, 1);
  waveIn.ReturnBuffer(CaptureBufferBytes);
  waveIn.DeliverNotices();
  EXPECT_EQ(objects->FilledQueue.Size(), 1u);
  EXPECT_NE(waveIn.added, nullptr);  // the next buffer went straight back
  Button(IDC_MIKE)->setChecked(false);
  dlg->OnCommand(IDC_MIKE, BN_CLICKED);
  EXPECT_EQ(waveIn.openDevices, 0);
  EXPECT_EQ(waveOut.openDevices, 0);  // the last source went
}

// --- About, the window menu and the File commands ----------------------------------------

using Commands = DialogTest;

TEST_F(Commands, SystemCommands16To31AndHelpAboutOpenTheAboutBox) {
  StartQuiet();
  std::vector<uint32_t> ids;
  for (uint32_t id = 16; id <= 31; ++id) ids.push_back(id);
  for (uint32_t id : ids) {
    WithModal([&] { dlg->OnSysCommand(id); },
              [](QWidget* modal) { EXPECT_NE(qobject_cast<AboutDlg*>(modal), nullptr); });
  }
  WithModal([&] { Choose(ID_APP_ABOUT); },
            [](QWidget* modal) { EXPECT_EQ(modal->windowTitle(), "About Zudorave"); });
}

TEST_F(Commands, OtherSystemCommandsDoNotOpenTheAboutBox) {
  StartQuiet();
  dlg->OnSysCommand(32);
  dlg->OnSysCommand(0xF100);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Commands, TheWindowMenuOffersAboutAsSystemCommand16) {
  StartQuiet();
  QAction* about = dlg->SystemMenu()->findChild<QAction*>("16");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), "&About Zudorave...");
  const QList<QAction*> items = dlg->SystemMenu()->actions();
  EXPECT_TRUE(items[items.size() - 2]->isSeparator());
  WithModal([&] { about->trigger(); },
            [](QWidget* modal) { EXPECT_NE(qobject_cast<AboutDlg*>(modal), nullptr); });
}

TEST_F(Commands, ARightClickOpensTheWindowMenu) {
  StartQuiet();
  dlg->show();
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), dlg->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(dlg.get(), &click);
  EXPECT_TRUE(dlg->SystemMenu()->isVisible());
  dlg->SystemMenu()->close();
}

TEST_F(Commands, AltSpaceOpensTheWindowMenu) {
  StartQuiet();
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QTest::keyClick(dlg.get(), Qt::Key_Space, Qt::AltModifier);
  EXPECT_TRUE(dlg->SystemMenu()->isVisible());
  dlg->SystemMenu()->close();
}

TEST_F(Commands, SaveAsAsksWithTheTextFilterAndForgetsTheAnswer) {
  StartQuiet();
  prompts.saveAnswer = "/nonexistent/zudorave-test.txt";
  EXPECT_TRUE(dlg->OnCommand(ID_FILE_SAVE_AS, BN_CLICKED));
  EXPECT_THAT(prompts.saveFilters, ElementsAre("Text Files (*.txt)|*.txt||"));
  EXPECT_THAT(prompts.saveFlags, ElementsAre(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  EXPECT_THAT(prompts.messages, IsEmpty());
}

TEST_F(Commands, SaveAndOpenDoNothing) {
  StartQuiet();
  EXPECT_TRUE(dlg->OnCommand(ID_FILE_SAVE, BN_CLICKED));
  EXPECT_FALSE(dlg->OnCommand(ID_FILE_OPEN, BN_CLICKED));
  EXPECT_THAT(prompts.saveFilters, IsEmpty());
  EXPECT_THAT(prompts.messages, IsEmpty());
  EXPECT_THAT(waveOut.calls, IsEmpty());
}

// --- Ways out ----------------------------------------------------------------------------

using WaysOut = DialogTest;

TEST_F(WaysOut, EnterNeedsAPlainNumberInTheAf2Field) {
  StartQuiet();
  dlg->show();
  QTest::keyClick(dlg.get(), Qt::Key_Return);  // "2,400" is not a plain number
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Please enter a positive integer.");
  EXPECT_TRUE(dlg->isVisible());
  Edit(IDC_AF2_EDIT)->setText("3000");
  QTest::keyClick(Edit(IDC_AF2_EDIT), Qt::Key_Return);  // the edit passes Enter on
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(WaysOut, EveryWayOutClosesEveryDeviceAndStopsTheElementTimer) {
  const std::vector<std::function<void(MainDlg&)>> ways = {
      [](MainDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); },
      [](MainDlg& d) { d.close(); },
      [](MainDlg& d) {
        d.MenuItem(ID_FILE_EXIT)->trigger();
        QCoreApplication::processEvents();
      },
      [](MainDlg& d) { d.OnSysCommand(SC_CLOSE); },
      [](MainDlg& d) {
        qobject_cast<QLineEdit*>(d.Control(IDC_AF2_EDIT))->setText("100");
        QTest::keyClick(&d, Qt::Key_Enter);
      },
  };
  for (std::size_t way = 0; way < ways.size(); ++way) {
    SCOPED_TRACE(way);
    objects = std::make_unique<ProgramObjects>(waveOut);  // quitting left the last one sending
    StartQuiet();
    dlg->show();
    Button(IDC_AF1)->click();
    Button(IDC_MIKE)->setChecked(true);
    dlg->OnCommand(IDC_MIKE, BN_CLICKED);
    ASSERT_EQ(waveOut.openDevices, 1);
    ASSERT_EQ(waveIn.openDevices, 1);
    Choose(ID_CONFIG_TRANSMIT);
    ASSERT_EQ(timer.Running(), 1u);
    ways[way](*dlg);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(waveOut.openDevices, 0);
    EXPECT_EQ(waveIn.openDevices, 0);
    EXPECT_EQ(keyingOut.openDevices, 0);
    EXPECT_EQ(timer.Running(), 0u);
    dlg.reset();
  }
}

}  // namespace
}  // namespace zudorave::testing
