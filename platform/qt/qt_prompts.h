// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prompts shown with Qt: QMessageBox, QFileDialog and QApplication::beep.
#include <QString>

#include "platform/prompts.h"

namespace zudorave {

class QtPrompts : public Prompts {
 public:
  int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override;
  std::optional<std::string> SaveFileName(const std::string& filter, uint32_t flags) override;
  void Beep() override;
};

// "Text Files (*.txt)|*.txt||" becomes "Text Files (*.txt)"; pairs are joined with ";;".
// A description without its own pattern in parentheses gets the pattern appended.
QString QtFileFilter(const std::string& filter);

}  // namespace zudorave
