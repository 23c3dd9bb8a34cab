// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station keeps between runs: AF1, AF2 and AF3, the mixing mode, Sinus and Ignore
// Spaces, the speed and spacing, Loop, the text to send, the levels and the window's place; not
// which oscillators sound. Values are applied through the controls, as if the operator had set
// them, so every handler runs as it would; values out of a control's range are clamped to it.
// Threads: user-interface thread only.
#include <QString>
#include <memory>

class QSettings;

namespace zudorave {

class MainDlg;
struct StationValues;

class StationSettings {
 public:
  // The dialog has been created; both outlive this.
  StationSettings(MainDlg& dialog, StationValues& station);

  // Applies what settings holds. Empty when all of it read; else why some or all of it did
  // not, in a few words (what could not be read keeps its start-up value).
  QString Load(QSettings& settings);
  // Writes the controls' values and syncs; empty when written, else why not.
  QString Save(QSettings& settings);

 private:
  MainDlg& dialog_;
  StationValues& station_;
};

// The station's settings file, Zudorave/station.ini under the XDG config folder, written
// through a temporary file renamed into place.
std::unique_ptr<QSettings> OpenStationSettings();

}  // namespace zudorave
