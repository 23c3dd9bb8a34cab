// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hooks for the tests, the screenshots and the start-up measurement, built into zudorave-testable
// only (never into the installed program) and switched on by environment variables:
//   ZUDORAVE_EXIT_WHEN_SHOWN=1     print the time from process start to the dialog on screen and
//                                  the resident memory, then end the dialog
//   ZUDORAVE_SCREENSHOT=file.png   save the screen around the dialog, then end it;
//   ZUDORAVE_SCREENSHOT_MENU=name  with the popup of that name ("Option") open, or the About
//                                  box ("About") or the keying dialog ("Transmit")
//   ZUDORAVE_CONTROL_MAP=file      write each shown control's id and screen centre when shown,
//                                  the menu titles', and a menu's items once it opens
//   ZUDORAVE_NAMED_TEXTS=file      rewrite, five times a second, "name<tab>text" for each text
//                                  box and label with an accessible name
// A message box that stands in the way is answered with its default button first.
#include "platform/environment.h"
#include "ui/main_dlg.h"

namespace zudorave {

void InstallTestHooks(MainDlg& dialog, const Environment& environment);

}  // namespace zudorave
