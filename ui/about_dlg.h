// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box (template 100): the icon, the version, the author and OK. User-interface thread
// only.
#include "ui/template_dialog.h"

namespace zudorave {

class AboutDlg : public TemplateDialog {
  Q_OBJECT
 public:
  explicit AboutDlg(QWidget* parent = nullptr);
};

}  // namespace zudorave
