// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Check boxes and radio buttons whose accessibility actions click them. Qt's own Toggle action
// only flips the mark, and its Press action clicks a tenth of a second later, so a handler that
// listens to clicked would not hear a screen reader's toggle at all. These buttons answer both
// actions with the click that the mouse and the keyboard make: the mark changes and clicked
// is emitted once, at once. Changing the mark from code (setChecked) stays silent as before.
#include <QCheckBox>
#include <QPushButton>

namespace zudorave {

// A check box or, made auto-exclusive, a radio button, drawn as a push button.
class ToggleButton : public QPushButton {
  Q_OBJECT
 public:
  ToggleButton(const QString& text, QWidget* parent);
};

class ToggleCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  ToggleCheckBox(const QString& text, QWidget* parent);
};

}  // namespace zudorave
