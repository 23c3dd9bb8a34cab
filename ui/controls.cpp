// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>

#include "ui/app_icon.h"
#include "ui/toggle_buttons.h"
#include "ui/up_down.h"

namespace zudorave {

namespace {

QPushButton* PushLike(const ControlTemplate& control, QWidget* parent) {
  auto* button = new ToggleButton(control.text, parent);
  button->setCheckable(true);
  // Enter belongs to the dialog's OK, not to the focused toggle.
  button->setAutoDefault(false);
  return button;
}

QWidget* Make(const ControlTemplate& control, QWidget* parent, QWidget* previous) {
  switch (control.kind) {
    case ControlKind::PushButton: {
      auto* button = new QPushButton(control.text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(control.text, parent);
      button->setDefault(true);
      return button;
    }
    case ControlKind::PushLikeRadio: {
      QPushButton* button = PushLike(control, parent);
      // The whole dialog is one group, so all its radio buttons exclude each other.
      button->setAutoExclusive(true);
      return button;
    }
    case ControlKind::PushLikeCheck:
      return PushLike(control, parent);
    case ControlKind::CheckBox:
      return new ToggleCheckBox(control.text, parent);
    case ControlKind::Trackbar: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setTickPosition(QSlider::TicksBelow);
      return slider;
    }
    case ControlKind::MultiLineEdit:
      return new QPlainTextEdit(parent);
    case ControlKind::NumberEdit: {
      auto* edit = new DigitEdit(parent);
      edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      return edit;
    }
    case ControlKind::UpDown: {
      auto* spin = new UpDown(parent);
      spin->SetBuddy(qobject_cast<QLineEdit*>(previous));
      return spin;
    }
    case ControlKind::RightStatic:
    case ControlKind::LeftStatic: {
      auto* label = new QLabel(control.text, parent);
      label->setAlignment(
          (control.kind == ControlKind::RightStatic ? Qt::AlignRight : Qt::AlignLeft) |
          Qt::AlignTop);
      return label;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(control.text, parent);
    case ControlKind::IconStatic: {
      auto* label = new QLabel(parent);
      label->setPixmap(AppIcon().pixmap(32, 32));
      return label;
    }
  }
  return nullptr;
}

}  // namespace

QString AccessibleText(const char* text) {
  QString plain = QString::fromUtf8(text);
  plain.remove(QRegularExpression("&(?!&)"));
  return plain;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const DialogUnits& units,
                       QWidget* previous) {
  QWidget* widget = Make(control, parent, previous);
  PlaceControl(widget, control, units);
  return widget;
}

void PlaceControl(QWidget* widget, const ControlTemplate& control, const DialogUnits& units) {
  widget->setObjectName(QString::number(control.id));
  widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
  if (control.text[0] != '\0') widget->setAccessibleName(AccessibleText(control.text));
  // Qt has no arrow-key walk through a dialog group, so every control that can take the focus
  // keeps its tab stop (AF1 too) and stays in keyboard reach.
  widget->setEnabled(control.enabled);
  widget->setVisible(control.shown);
  if (control.kind == ControlKind::GroupBox) {
    // Group boxes come late in the template but are drawn beneath the controls they frame.
    widget->lower();
  }
}

}  // namespace zudorave
