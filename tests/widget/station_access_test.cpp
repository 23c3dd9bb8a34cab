// SPDX-License-Identifier: GPL-3.0-or-later
// The station panel from the keyboard and for a screen reader, and its level controls.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>

#include "dialog_fixture.h"
#include "ui/level_controls.h"

namespace zudorave::testing {
namespace {

class StationAccess : public DialogTest {
 protected:
  void SetUp() override {
#if defined(__SANITIZE_THREAD__)
    // A shown window this size has Qt paint it in slices on Qt's own thread pool, which
    // synchronises inside Qt where the thread sanitizer cannot see; the other builds run these.
    GTEST_SKIP() << "the shown station window is painted on Qt's uninstrumented threads";
#endif
    DialogDevices devices = Devices();
    devices.Levels = &levels;
    dlg = std::make_unique<MainDlg>(ContextFor(*objects, devices, prompts, environment, true));
    dlg->Create();
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }

  QSlider* Level(const char* name) const { return dlg->findChild<QSlider*>(name); }

  OutputLevels levels;
};

TEST_F(StationAccess, TabAndShiftTabGoThroughThePanelInReadingOrderAndLeaveTheText) {
  std::vector<QWidget*> order;
  for (const int id : {IDC_TEXT, IDC_SPEED_SLIDER, IDC_SPACING_SLIDER, IDC_TRANSMIT, IDC_STOP,
                       IDC_MANUAL, IDC_RECEIVE, IDC_LOOP, IDC_MIKE}) {
    // Tab passes over what is disabled, as Stop is at rest.
    if (dlg->Control(id)->isEnabled()) order.push_back(dlg->Control(id));
  }
  order.push_back(Level("GeneratorLevel"));
  order.push_back(Level("SidetoneLevel"));

  order.front()->setFocus();
  for (std::size_t i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), order[i]) << "Tab " << i;
  }
  for (std::size_t i = order.size() - 1; i > 0; --i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), order[i - 1]) << "Shift+Tab " << i;
  }
  EXPECT_EQ(Widget<QPlainTextEdit>(IDC_TEXT)->toPlainText(), "");
  EXPECT_EQ(objects->Station.OperatingState, StationState::Idle) << "the Tab was sent";

  for (const int id : {IDC_TRANSMIT, IDC_STOP, IDC_MANUAL, IDC_RECEIVE, IDC_LOOP}) {
    EXPECT_FALSE(dlg->Control(id)->accessibleDescription().isEmpty()) << id;
  }
  EXPECT_TRUE(dlg->Control(IDC_MIKE)->accessibleDescription().contains("into the tone"));
}

TEST_F(StationAccess, LevelsSetTheOutputsAndTheReadoutWarnsWhenTheSumCanClip) {
  EXPECT_EQ(Level("GeneratorLevel")->accessibleName(), "Generator level in dB");
  EXPECT_EQ(Level("SidetoneLevel")->accessibleName(), "Sidetone level in dB");
  auto* readout = dlg->findChild<QLabel*>("LevelReadout");
  struct Case {
    int generator, sidetone;
    bool clips;
  };
  // A full-scale tone and the sidetone: -6 dB each still fits, -3 dB each no more.
  for (const Case& c : std::vector<Case>{
           {0, 0, true}, {0, OutputLevel::Off, false}, {-6, -6, false}, {-3, -3, true}}) {
    Level("GeneratorLevel")->setValue(c.generator);
    Level("SidetoneLevel")->setValue(c.sidetone);
    EXPECT_EQ(levels.generator.Db(), c.generator);
    EXPECT_EQ(levels.sidetone.Db(), c.sidetone);
    EXPECT_EQ(readout->text().contains("exceed"), c.clips) << c.generator << " " << c.sidetone;
  }
}

}  // namespace
}  // namespace zudorave::testing
