// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/station_settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSlider>
#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

#include "morse/station_values.h"
#include "ui/dialog_template.h"
#include "ui/main_dlg.h"
#include "ui/menu_resource.h"
#include "ui/up_down.h"

namespace zudorave {

namespace {

constexpr std::array<std::pair<int, const char*>, 5> Modes = {{{IDC_SUM, "sum"},
                                                               {IDC_PRODUCT, "product"},
                                                               {IDC_LSB, "lsb"},
                                                               {IDC_USB, "usb"},
                                                               {IDC_DSB, "dsb"}}};
constexpr std::array<std::pair<int, const char*>, 2> Options = {
    {{ID_OPTION_SINUS, "sinus"}, {ID_OPTION_IGNORE_SPACES, "ignoreSpaces"}}};
// The level sliders by object name, and their keys.
constexpr std::array<std::pair<const char*, const char*>, 2> Levels = {
    {{"GeneratorLevel", "generatorLevel"}, {"SidetoneLevel", "sidetoneLevel"}}};

// Reads the values; the keys that are there and do not read are named in wrong.
class Reader {
 public:
  explicit Reader(QSettings& settings) : settings_(settings) {}

  // A whole number clamped to lower..upper, when there is one under key.
  bool Number(const char* key, int lower, int upper, int& value) {
    if (!settings_.contains(key)) return false;
    bool ok = false;
    const int read = settings_.value(key).toInt(&ok);
    if (!ok) return Wrong(key);
    value = std::clamp(read, lower, upper);
    return true;
  }
  bool Text(const char* key, QString& value) {
    if (!settings_.contains(key)) return false;
    const QVariant read = settings_.value(key);
    if (!read.canConvert<QString>()) return Wrong(key);
    value = read.toString();
    return true;
  }
  bool Wrong(const char* key) {
    wrong_ << key;
    return false;
  }
  const QStringList& WrongKeys() const { return wrong_; }
  QSettings& Settings() { return settings_; }

 private:
  QSettings& settings_;
  QStringList wrong_;
};

void SetSlider(QSlider* slider, Reader& read, const char* key) {
  int value = 0;
  if (read.Number(key, slider->minimum(), slider->maximum(), value)) slider->setValue(value);
}

void SetField(UpDown* arrows, Reader& read, const char* key) {
  int value = 0;
  if (read.Number(key, arrows->Lower(), arrows->Upper(), value)) {
    arrows->Buddy()->setText(UpDown::Format(value));
  }
}

// Clicks or triggers when the check differs from what was kept.
void SetCheck(bool checked, Reader& read, const char* key, const auto& toggle) {
  int value = 0;
  if (read.Number(key, 0, 1, value) && (value != 0) != checked) toggle();
}

}  // namespace

StationSettings::StationSettings(MainDlg& dialog, StationValues& station)
    : dialog_(dialog), station_(station) {}

QString StationSettings::Load(QSettings& settings) {
  const QString file = settings.fileName();
  const QString startUp = "; the station starts from its start-up values";
  if (!QFileInfo::exists(file)) return "no settings kept in " + file + " yet" + startUp;
  if (settings.status() == QSettings::AccessError) return file + " does not read" + startUp;
  if (settings.status() == QSettings::FormatError) return file + " is damaged" + startUp;

  settings.beginGroup("station");
  if (settings.childKeys().isEmpty()) {
    settings.endGroup();
    return file + " holds no settings of the station" + startUp;
  }
  Reader read(settings);
  SetSlider(dialog_.ControlAs<QSlider>(IDC_AF1_SLIDER), read, "af1");
  SetField(dialog_.ControlAs<UpDown>(IDC_AF2_SPIN), read, "af2");
  SetField(dialog_.ControlAs<UpDown>(IDC_AF3_SPIN), read, "af3");
  QString mode;
  if (read.Text("mode", mode)) {
    const auto* kept = std::find_if(Modes.begin(), Modes.end(),
                                    [&mode](const auto& entry) { return mode == entry.second; });
    if (kept == Modes.end()) {
      read.Wrong("mode");
    } else if (auto* button = dialog_.ControlAs<QAbstractButton>(kept->first);
               !button->isChecked()) {
      button->click();
    }
  }
  for (const auto& [id, key] : Options) {
    QAction* item = dialog_.MenuItem(id);
    SetCheck(item->isChecked(), read, key, [item] { item->trigger(); });
  }
  SetSlider(dialog_.ControlAs<QSlider>(IDC_SPEED_SLIDER), read, "speed");
  SetSlider(dialog_.ControlAs<QSlider>(IDC_SPACING_SLIDER), read, "spacing");
  auto* loop = dialog_.ControlAs<QAbstractButton>(IDC_LOOP);
  SetCheck(loop->isChecked(), read, "loop", [loop] { loop->click(); });
  QString text;
  if (read.Text("text", text)) {
    // Taken as an edit of the whole text, which never starts sending.
    station_.TypedLength = static_cast<int32_t>(text.toLatin1().size());
    dialog_.ControlAs<QPlainTextEdit>(IDC_TEXT)->setPlainText(text);
  }
  for (const auto& [name, key] : Levels) {
    if (auto* slider = dialog_.findChild<QSlider*>(name)) SetSlider(slider, read, key);
  }
  if (settings.contains("geometry") &&
      !dialog_.restoreGeometry(settings.value("geometry").toByteArray())) {
    read.Wrong("geometry");
  }
  settings.endGroup();
  if (read.WrongKeys().isEmpty()) return {};
  return file + " holds values that do not read (" + read.WrongKeys().join(", ") +
         "); they keep their start-up values";
}

QString StationSettings::Save(QSettings& settings) {
  settings.beginGroup("station");
  settings.setValue("af1", dialog_.ControlAs<QSlider>(IDC_AF1_SLIDER)->value());
  settings.setValue("af2", dialog_.ControlAs<UpDown>(IDC_AF2_SPIN)->GetPos().value);
  settings.setValue("af3", dialog_.ControlAs<UpDown>(IDC_AF3_SPIN)->GetPos().value);
  for (const auto& [id, key] : Modes) {
    if (dialog_.ControlAs<QAbstractButton>(id)->isChecked()) settings.setValue("mode", key);
  }
  for (const auto& [id, key] : Options) {
    settings.setValue(key, dialog_.MenuItem(id)->isChecked() ? 1 : 0);
  }
  settings.setValue("speed", dialog_.ControlAs<QSlider>(IDC_SPEED_SLIDER)->value());
  settings.setValue("spacing", dialog_.ControlAs<QSlider>(IDC_SPACING_SLIDER)->value());
  settings.setValue("loop", dialog_.ControlAs<QAbstractButton>(IDC_LOOP)->isChecked() ? 1 : 0);
  settings.setValue("text", dialog_.ControlAs<QPlainTextEdit>(IDC_TEXT)->toPlainText());
  for (const auto& [name, key] : Levels) {
    if (auto* slider = dialog_.findChild<QSlider*>(name)) settings.setValue(key, slider->value());
  }
  settings.setValue("geometry", dialog_.saveGeometry());
  settings.endGroup();
  settings.sync();
  if (settings.status() == QSettings::NoError) return {};
  return settings.fileName() + " could not be written";
}

std::unique_ptr<QSettings> OpenStationSettings() {
  auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                              "Zudorave", "station");
  // Nothing written but whole: a crash or a full disk leaves the last good file.
  settings->setAtomicSyncRequired(true);
  return settings;
}

}  // namespace zudorave
