// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/template_dialog.h"

#include <QMenuBar>

#include "ui/controls.h"
#include "ui/dialog_units.h"

namespace zudorave {

TemplateDialog::TemplateDialog(QWidget* parent) : QDialog(parent) {}

QWidget* TemplateDialog::Control(int id) const {
  const auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : found->second;
}

QWidget* TemplateDialog::BuildFromTemplate(const DialogTemplate& dialog, QMenuBar* menuBar,
                                           const OwnControlMaker& makeOwn) {
  // Every template asks for the 8-point font; the dialog units follow from it.
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);
  const DialogUnits units = DialogUnits::ForFont(font);
  setWindowTitle(dialog.caption);

  QWidget* client = menuBar == nullptr ? this : new QWidget(this);
  QWidget* previous = nullptr;
  for (const ControlTemplate& control : dialog.controls) {
    QWidget* own = makeOwn ? makeOwn(control, client) : nullptr;
    if (own != nullptr) {
      PlaceControl(own, control, units);
      previous = own;
    } else {
      previous = CreateControl(control, client, units, previous);
    }
    inOrder_.push_back(previous);
    if (control.id != IDC_STATIC) byId_[control.id] = previous;
  }

  const QRect area = units.ToPixels(0, 0, dialog.width, dialog.height);
  int top = 0;
  if (menuBar != nullptr) {
    // Measured now, in the dialog's font.
    top = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, area.width(), top);
    client->setGeometry(0, top, area.width(), area.height());
  }
  setFixedSize(area.width(), top + area.height());
  return client;
}

}  // namespace zudorave
