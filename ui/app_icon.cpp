// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_icon.h"

#include <QPixmap>

namespace zudorave {

namespace {
#include "ui/resources/zudorave.xpm"
}  // namespace

QIcon AppIcon() { return QIcon(QPixmap(zudorave_xpm)); }

}  // namespace zudorave
