// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace zudorave {

DialogUnits DialogUnits::ForFont(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const int width = metrics.horizontalAdvance(letters);
  return DialogUnits{(width / 26 + 1) / 2, metrics.height()};
}

}  // namespace zudorave
