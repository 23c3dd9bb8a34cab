#pragma once
// The About box (template 100): the icon, the version, the author and OK.
#include <QDialog>

namespace zudorave {

class AboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDlg(QWidget* parent = nullptr);
};

}  // namespace zudorave
