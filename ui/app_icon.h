// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

namespace zudorave {

// Icon 128: the program's own 32 x 32 picture in 16 colours.
QIcon AppIcon();

}  // namespace zudorave
