// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "ui/level_controls.h"
#include "ui/received_text.h"
#include "ui/station_access.h"
#include "ui/station_controls.h"
#include "ui/template_dialog.h"

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

void StationControls::ShowPanel(OutputLevels* levels) {
  TemplateDialog& dialog = *dialog_;
  auto* panel = new QGroupBox("Morse station", &dialog);
  panel->setObjectName("StationPanel");
  auto* grid = new QGridLayout(panel);

  text_->setParent(panel);
  text_->setAccessibleName("Text to send");
  text_->setToolTip("Each character typed here is sent in Morse");
  text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 3 + 12);
  grid->addWidget(LabelFor("T&ext to send", text_, panel), 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);

  speed_->setParent(panel);
  speed_->setAccessibleName("Speed in words per minute");
  grid->addWidget(LabelFor("Spee&d", speed_, panel), 1, 0);
  grid->addWidget(speed_, 1, 1);
  grid->addWidget(ValueOf(speed_, "wpm", panel), 1, 2);

  spacing_->setParent(panel);
  spacing_->setAccessibleName("Extra spacing in milliseconds");
  grid->addWidget(LabelFor("S&pacing", spacing_, panel), 2, 0);
  grid->addWidget(spacing_, 2, 1);
  grid->addWidget(ValueOf(spacing_, "ms", panel), 2, 2);

  auto* buttons = new QHBoxLayout;
  for (const int id : {IDC_TRANSMIT, IDC_STOP, IDC_MANUAL, IDC_RECEIVE, IDC_LOOP, IDC_MIKE}) {
    QWidget* control = dialog.Control(id);
    control->setParent(panel);
    buttons->addWidget(control);
  }
  grid->addLayout(buttons, 3, 0, 1, 3);
  if (levels != nullptr) grid->addWidget(new LevelControls(*levels, panel), 4, 0, 1, 3);
  if (samples_ != nullptr) {
    received_ = new ReceivedText(*samples_, *device_, keying_.ui, panel);
    grid->addWidget(LabelFor("Recei&ved", received_->Box(), panel), 5, 0, Qt::AlignTop);
    grid->addWidget(received_, 5, 1, 1, 2);
  }
  MakePanelAccessible(dialog);
  grid->setColumnStretch(1, 1);

  // An idle station offers every command but Stop; the template's disabled boxes would leave
  // nothing to type into or set.
  for (const int id : {IDC_TEXT, IDC_SPEED_SLIDER, IDC_SPACING_SLIDER, IDC_MANUAL, IDC_RECEIVE,
                       IDC_LOOP, IDC_MIKE}) {
    dialog.Control(id)->setEnabled(true);
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
  const int panelWidth = std::max(dialog.width() - 2 * Margin, wanted.width());
  panel->setGeometry(Margin, dialog.height(), panelWidth, wanted.height());
  dialog.setFixedSize(panelWidth + 2 * Margin, dialog.height() + wanted.height() + Margin);
}

}  // namespace zudorave
