#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/app_icon.h"
#include "ui/controls.h"
#include "ui/dialog_template.h"

namespace zudorave {

AboutDlg::AboutDlg(QWidget* parent) : QDialog(parent) {
  const DialogTemplate& dialog = AboutDialogTemplate();
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);
  const DialogUnits units = DialogUnits::ForFont(font);
  setWindowTitle(dialog.caption);
  setWindowIcon(AppIcon());
  // It opens over the active window, which waits until it closes.
  setWindowModality(Qt::ApplicationModal);

  QWidget* previous = nullptr;
  std::vector<QLabel*> lines;
  for (const ControlTemplate& control : dialog.controls) {
    previous = CreateControl(control, this, units, previous);
    if (control.kind == ControlKind::LeftStatic) lines.push_back(qobject_cast<QLabel*>(previous));
  }
  lines.front()->setText(QString("Zudorave, version %1").arg(ZUDORAVE_VERSION));
  lines.front()->setAccessibleName(lines.front()->text());
  connect(findChild<QPushButton*>("1"), &QPushButton::clicked, this, &QDialog::accept);
  const QRect area = units.ToPixels(0, 0, dialog.width, dialog.height);
  setFixedSize(area.size());
}

}  // namespace zudorave
