// The station's own controls, which the template hides, shown on request in a panel below the
// tone controls: the very same widgets, so the same ids and handlers act, with labels, the
// speed in words per minute and the spacing in milliseconds.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "ui/dialog_template.h"
#include "ui/main_dlg.h"

namespace zudorave {

namespace {

QLabel* LabelFor(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  // Rendered text can run a pixel or two past its measure; a character's room spares the tail.
  label->setMinimumWidth(label->sizeHint().width() + label->fontMetrics().averageCharWidth());
  return label;
}

// A value beside its trackbar that follows it; the trackbar's own handler is untouched.
QLabel* ValueOf(QSlider* slider, const char* unit, QWidget* parent) {
  auto* value = new QLabel(parent);
  auto show = [value, slider, unit] {
    value->setText(QString("%1 %2").arg(slider->value()).arg(unit));
  };
  QObject::connect(slider, &QSlider::valueChanged, value, show);
  show();
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance("1000 wpm"));
  return value;
}

}  // namespace

void MainDlg::ShowStationPanel() {
  auto* panel = new QGroupBox("Morse station", this);
  panel->setObjectName("StationPanel");
  auto* grid = new QGridLayout(panel);

  TextEdit->setParent(panel);
  TextEdit->setAccessibleName("Text to send");
  TextEdit->setToolTip("Each character typed here is sent in Morse");
  TextEdit->setFixedHeight(TextEdit->fontMetrics().lineSpacing() * 3 + 12);
  grid->addWidget(LabelFor("T&ext to send", TextEdit, panel), 0, 0);
  grid->addWidget(TextEdit, 0, 1, 1, 2);

  SpeedSlider->setParent(panel);
  SpeedSlider->setAccessibleName("Speed in words per minute");
  grid->addWidget(LabelFor("Spee&d", SpeedSlider, panel), 1, 0);
  grid->addWidget(SpeedSlider, 1, 1);
  grid->addWidget(ValueOf(SpeedSlider, "wpm", panel), 1, 2);

  SpacingSlider->setParent(panel);
  SpacingSlider->setAccessibleName("Extra spacing in milliseconds");
  grid->addWidget(LabelFor("S&pacing", SpacingSlider, panel), 2, 0);
  grid->addWidget(SpacingSlider, 2, 1);
  grid->addWidget(ValueOf(SpacingSlider, "ms", panel), 2, 2);

  auto* buttons = new QHBoxLayout;
  for (QWidget* control : std::initializer_list<QWidget*>{TransmitButton, StopButton, ManualButton,
                                                          ReceiveButton, LoopCheck, MikeCheck}) {
    control->setParent(panel);
    buttons->addWidget(control);
  }
  grid->addLayout(buttons, 3, 0, 1, 3);
  grid->setColumnStretch(1, 1);

  // An idle station offers every command but Stop; the template's disabled boxes would leave
  // nothing to type into or set.
  for (QWidget* control :
       std::initializer_list<QWidget*>{TextEdit, SpeedSlider, SpacingSlider, ManualButton,
                                       ReceiveButton, LoopCheck, MikeCheck}) {
    control->setEnabled(true);
  }
  for (QWidget* control : panel->findChildren<QWidget*>()) control->show();
  // Measured once shown, so every child has its final font.
  panel->show();
  panel->ensurePolished();
  for (QWidget* child : panel->findChildren<QWidget*>()) child->ensurePolished();
  grid->invalidate();

  // Inset like the template's group boxes, below everything the template shows.
  constexpr int Margin = 6;
  // Wider than the template only when the panel needs it.
  const QSize wanted = panel->sizeHint();
  const int panelWidth = std::max(width() - 2 * Margin, wanted.width());
  panel->setGeometry(Margin, height(), panelWidth, wanted.height());
  setFixedSize(panelWidth + 2 * Margin, height() + wanted.height() + Margin);
}

}  // namespace zudorave
