// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station panel's two level controls, in dB from 0 down to -40 and off: the generator's
// and the sidetone's, and a readout that says when the two together can go past full scale.
// Each slider sets its output's level as it moves.
// Threads: user-interface thread only.
#include <QWidget>

#include "platform/output_level.h"

class QLabel;
class QSlider;

namespace zudorave {

class LevelControls : public QWidget {
  Q_OBJECT
 public:
  // levels outlives the widget.
  LevelControls(OutputLevels& levels, QWidget* parent);

  QSlider* Generator() const { return generator_; }
  QSlider* Sidetone() const { return sidetone_; }
  QLabel* Readout() const { return readout_; }

  // Whether a full-scale generator and the sidetone at these levels can add up past full scale.
  static bool CanClip(int32_t generatorDb, int32_t sidetoneDb);

 private:
  void ShowReadout();

  QSlider* generator_;
  QSlider* sidetone_;
  QLabel* readout_;
};

}  // namespace zudorave
