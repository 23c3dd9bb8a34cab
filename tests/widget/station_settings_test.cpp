// SPDX-License-Identifier: GPL-3.0-or-later
// The station's settings through the real file, under a config folder of the test's own.
#include "ui/station_settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QTemporaryDir>

#include "dialog_fixture.h"
#include "ui/menu_resource.h"

namespace zudorave::testing {
namespace {

class StationSettingsTest : public DialogTest {
 protected:
  // Qt takes the config folder once a process: one folder for every test of this run.
  static QString ConfigFolder() {
    static QTemporaryDir folder;
    static const bool set = qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    (void)set;
    return folder.path();
  }

  void SetUp() override {
    ConfigFolder();
    QFile::remove(OpenStationSettings()->fileName());
  }

  // A fresh program and station window, as the next run starts it.
  void NextRun() {
    dlg.reset();
    objects = std::make_unique<ProgramObjects>(waveOut);
    levels = std::make_unique<OutputLevels>();
    DialogDevices devices = Devices();
    devices.Levels = levels.get();
    dlg = std::make_unique<MainDlg>(ContextFor(*objects, devices, prompts, environment, true));
    dlg->Create();
  }

  QSlider* Level(const char* name) const { return dlg->findChild<QSlider*>(name); }

  // Menu items come back as queued commands, carried out here as the window would.
  QString Load() {
    StationSettings settings(*dlg, objects->Station);
    const QString problem = settings.Load(*OpenStationSettings());
    QCoreApplication::processEvents();
    return problem;
  }

  // The values the controls show, one line.
  QString Shown() const {
    auto checked = [this](int id) { return Button(id)->isChecked() ? "1" : "0"; };
    QString mode;
    for (const auto& [id, name] :
         {std::pair{IDC_SUM, "sum"}, std::pair{IDC_PRODUCT, "product"}, std::pair{IDC_LSB, "lsb"},
          std::pair{IDC_USB, "usb"}, std::pair{IDC_DSB, "dsb"}}) {
      if (Button(id)->isChecked()) mode = name;
    }
    return QString(
               "af1=%1 af2=%2 af3=%3 %4 sinus=%5 ignore=%6 wpm=%7 spacing=%8 loop=%9 "
               "text=%10 sources=%11%12%13 levels=%14/%15")
        .arg(Widget<QSlider>(IDC_AF1_SLIDER)->value())
        .arg(Edit(IDC_AF2_EDIT)->text(), Edit(IDC_AF3_EDIT)->text(), mode)
        .arg(dlg->MenuItem(ID_OPTION_SINUS)->isChecked())
        .arg(dlg->MenuItem(ID_OPTION_IGNORE_SPACES)->isChecked())
        .arg(Widget<QSlider>(IDC_SPEED_SLIDER)->value())
        .arg(Widget<QSlider>(IDC_SPACING_SLIDER)->value())
        .arg(checked(IDC_LOOP), Widget<QPlainTextEdit>(IDC_TEXT)->toPlainText(), checked(IDC_AF1),
             checked(IDC_AF2), checked(IDC_AF3))
        .arg(Level("GeneratorLevel")->value())
        .arg(Level("SidetoneLevel")->value());
  }

  std::unique_ptr<OutputLevels> levels;
};

TEST_F(StationSettingsTest, WhatWasSetComesBackNextRunButTheOscillatorsStartSilent) {
  NextRun();
  const QString startUp = Shown();
  EXPECT_FALSE(Load().isEmpty()) << "no file yet";
  EXPECT_EQ(Shown(), startUp);

  Widget<QSlider>(IDC_AF1_SLIDER)->setValue(1234);
  Edit(IDC_AF2_EDIT)->setText("2,500");
  Edit(IDC_AF3_EDIT)->setText("9,000");
  Button(IDC_LSB)->click();
  Choose(ID_OPTION_SINUS);
  Choose(ID_OPTION_IGNORE_SPACES);
  Widget<QSlider>(IDC_SPEED_SLIDER)->setValue(20);
  Widget<QSlider>(IDC_SPACING_SLIDER)->setValue(250);
  Button(IDC_LOOP)->click();
  {
    const QSignalBlocker quiet(Widget<QPlainTextEdit>(IDC_TEXT));
    Widget<QPlainTextEdit>(IDC_TEXT)->setPlainText("CQ CQ DE TEST");
  }
  Button(IDC_AF1)->click();
  Level("GeneratorLevel")->setValue(-12);
  Level("SidetoneLevel")->setValue(OutputLevel::Off);
  dlg->move(123, 77);
  const QString set = Shown();
  ASSERT_NE(set, startUp);
  EXPECT_EQ(StationSettings(*dlg, objects->Station).Save(*OpenStationSettings()), "");

  NextRun();
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(Shown(), QString(set).replace("sources=100", "sources=000"));
  EXPECT_EQ(dlg->pos(), QPoint(123, 77));
  // Applied as the operator's own changes, and nothing sent.
  EXPECT_FALSE(objects->Tx.Sinus());
  EXPECT_EQ(objects->Station.DotMs, 60);
  EXPECT_EQ(objects->Station.TransmitText.Get(), "CQ CQ DE TEST");
  EXPECT_EQ(objects->Station.OperatingState, StationState::Idle);
  EXPECT_EQ(levels->generator.Db(), -12);
  EXPECT_EQ(levels->sidetone.Db(), OutputLevel::Off);
}

TEST_F(StationSettingsTest, ADamagedFileOrValuesOutOfRangeNeverGoInRaw) {
  NextRun();
  const QString startUp = Shown();
  struct Case {
    QByteArray file;
    QString says;   // a part of the problem given back
    QString shown;  // what differs from the start-up values
  };
  const std::vector<Case> cases = {
      {QByteArray("\x00\xff[station\n\x01=\x02\xfe", 14), "station.ini", ""},
      {"[station]\naf1=-5\naf2=99999\naf3=12\nspeed=99\nspacing=lots\nmode=fm\nloop=7\n"
       "generatorLevel=-90\nsidetoneLevel=3\ngeometry=@ByteArray(junk)\n",
       "(mode, spacing, geometry)", "af1=10 af2=4,000 af3=300 wpm=25 loop=1 levels=-41/0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    NextRun();
    QFile file(OpenStationSettings()->fileName());
    QDir().mkpath(QFileInfo(file).path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.file);
    file.close();
    const QString problem = Load();
    EXPECT_TRUE(problem.contains(c.says)) << problem.toStdString();
    QString expected = startUp;
    for (const QString& value : c.shown.split(' ', Qt::SkipEmptyParts)) {
      const QString key = value.section('=', 0, 0) + "=";
      const qsizetype at = expected.indexOf(key);
      const qsizetype end = expected.indexOf(' ', at);
      expected.replace(at, (end < 0 ? expected.size() : end) - at, value);
    }
    EXPECT_EQ(Shown(), expected);
  }
}

}  // namespace
}  // namespace zudorave::testing
