// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog templates are laid out in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down.
#include <QFont>
#include <QRect>

namespace zudorave {

struct DialogUnits {
  int baseX = 0;
  int baseY = 0;

  // Average width of the 52 Latin letters and the line height, both rounded as the system does.
  static DialogUnits ForFont(const QFont& font);
  QRect ToPixels(int x, int y, int width, int height) const {
    return QRect(x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8);
  }
};

}  // namespace zudorave
