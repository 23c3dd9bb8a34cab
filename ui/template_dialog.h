// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A dialog laid out by its template: the 8-point dialog font, the caption, the controls at their
// places in dialog units, a fixed size, and the controls found by id. The main dialog, the About
// box and the keying dialog are built on it. User-interface thread only.
#include <QDialog>
#include <cstddef>
#include <functional>
#include <map>
#include <vector>

#include "ui/dialog_template.h"

class QMenuBar;

namespace zudorave {

class TemplateDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TemplateDialog(QWidget* parent = nullptr);

  // The control of that id; null for an unknown id and before the controls are built.
  QWidget* Control(int id) const;
  template <typename T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }

 protected:
  // Makes the dialog's own widget for a control in place of its kind's (a subclassed edit), or
  // returns null to leave the control to its kind.
  using OwnControlMaker = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

  // Takes the template's font and caption, builds its controls in template order and fixes the
  // dialog's size. With a menu bar the controls sit in a client area below it, so their places
  // stay the template's. Returns the widget that holds the controls. Call once.
  QWidget* BuildFromTemplate(const DialogTemplate& dialog, QMenuBar* menuBar = nullptr,
                             const OwnControlMaker& makeOwn = {});

  // The control at that place in the template, statics included.
  QWidget* ControlAt(std::size_t index) const { return inOrder_.at(index); }
  // Every control with an id.
  const std::map<int, QWidget*>& Controls() const { return byId_; }

 private:
  std::vector<QWidget*> inOrder_;
  std::map<int, QWidget*> byId_;
};

}  // namespace zudorave
