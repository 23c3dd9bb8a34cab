// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/toggle_buttons.h"

#include <QAccessibleWidget>
#include <QKeySequence>

#include "ui/controls.h"

namespace zudorave {

namespace {

// Says what Qt's button interface says (role, marks, name, actions); only the actions differ.
class AccessibleToggle : public QAccessibleWidget {
 public:
  explicit AccessibleToggle(QAbstractButton* button) : QAccessibleWidget(button) {
    addControllingSignal(QStringLiteral("toggled(bool)"));
  }

  QAccessible::Role role() const override {
    if (!Button()->isCheckable()) return QAccessible::Button;
    return Button()->autoExclusive() ? QAccessible::RadioButton : QAccessible::CheckBox;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = Button()->isCheckable();
    state.checked = Button()->isChecked();
    state.pressed = Button()->isDown();
    return state;
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      const QString name = widget()->accessibleName();
      return name.isEmpty() ? AccessibleText(Button()->text().toUtf8().constData()) : name;
    }
    if (kind == QAccessible::Accelerator) {
      return QKeySequence::mnemonic(Button()->text()).toString(QKeySequence::NativeText);
    }
    return QAccessibleWidget::text(kind);
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << (Button()->isCheckable() ? toggleAction() : pressAction());
    return names + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& action) override {
    if (action == toggleAction() || action == pressAction()) {
      // click() does nothing on a disabled button, as the mouse would.
      Button()->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

// Asked with the most derived class name first, so these classes get their own interface and
// every other button keeps Qt's.
QAccessibleInterface* ToggleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ToggleButton::staticMetaObject.className()) ||
      className == QLatin1String(ToggleCheckBox::staticMetaObject.className())) {
    return new AccessibleToggle(static_cast<QAbstractButton*>(object));
  }
  return nullptr;
}

void InstallToggleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(ToggleFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace

ToggleButton::ToggleButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  InstallToggleFactory();
}

ToggleCheckBox::ToggleCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  InstallToggleFactory();
}

}  // namespace zudorave
