// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/level_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include "synth/keyed_tone.h"

namespace zudorave {

namespace {

constexpr double FullScale = 32767;

QString DbText(int value) {
  return value <= OutputLevel::Off ? QString("off") : QString("%1 dB").arg(value);
}

QSlider* LevelSlider(OutputLevel& level, const char* name, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(name);
  // The lowest step is off.
  slider->setRange(OutputLevel::Off, 0);
  slider->setPageStep(6);
  slider->setValue(level.Db());
  QObject::connect(slider, &QSlider::valueChanged, parent,
                   [&level](int value) { level.SetDb(value); });
  return slider;
}

}  // namespace

LevelControls::LevelControls(OutputLevels& levels, QWidget* parent)
    : QWidget(parent),
      generator_(LevelSlider(levels.generator, "GeneratorLevel", this)),
      sidetone_(LevelSlider(levels.sidetone, "SidetoneLevel", this)),
      readout_(new QLabel(this)) {
  setObjectName("LevelControls");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  const struct {
    QSlider* slider;
    const char* label;
    const char* accessible;
    const char* tip;
  } rows[] = {
      {generator_, "&Generator level", "Generator level in dB",
       "The level of the oscillators' tone: 0 dB plays it exactly as made, down to -40 dB, then "
       "off"},
      {sidetone_, "Sideto&ne level", "Sidetone level in dB",
       "The level of the keyed sidetone: 0 dB down to -40 dB, then off"},
  };
  int row = 0;
  for (const auto& [slider, label, accessible, tip] : rows) {
    slider->setAccessibleName(accessible);
    slider->setToolTip(tip);
    auto* name = new QLabel(label, this);
    name->setBuddy(slider);
    auto* value = new QLabel(DbText(slider->value()), this);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance("-40 dB "));
    connect(slider, &QSlider::valueChanged, value, [value](int db) { value->setText(DbText(db)); });
    connect(slider, &QSlider::valueChanged, this, &LevelControls::ShowReadout);
    grid->addWidget(name, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
    ++row;
  }
  readout_->setObjectName("LevelReadout");
  readout_->setAccessibleName("Level readout");
  grid->addWidget(readout_, row, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  ShowReadout();
}

bool LevelControls::CanClip(int32_t generatorDb, int32_t sidetoneDb) {
  return FullScale * OutputLevel::Gain(generatorDb) +
             KeyedTone::Amplitude * OutputLevel::Gain(sidetoneDb) >
         FullScale;
}

void LevelControls::ShowReadout() {
  readout_->setText(CanClip(generator_->value(), sidetone_->value())
                        ? "Together they can exceed full scale: lower a level"
                        : "Together they stay within full scale");
}

}  // namespace zudorave
