// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/app_icon.h"

namespace zudorave {

namespace {

// The template leaves the version line, its second control, for the dialog to fill in.
constexpr std::size_t VersionLine = 1;

}  // namespace

AboutDlg::AboutDlg(QWidget* parent) : TemplateDialog(parent) {
  BuildFromTemplate(AboutDialogTemplate());
  setWindowIcon(AppIcon());
  // It opens over the active window, which waits until it closes.
  setWindowModality(Qt::ApplicationModal);

  auto* version = qobject_cast<QLabel*>(ControlAt(VersionLine));
  version->setText(QString("Zudorave, version %1").arg(ZUDORAVE_VERSION));
  version->setAccessibleName(version->text());
  connect(ControlAs<QPushButton>(IDOK_BUTTON), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zudorave
