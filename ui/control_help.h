// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names and tooltips of the main dialog beyond its template's texts: a screen reader calls the
// trackbar, the fields and their arrows after what they set, and each tone control and Option
// item says its range or meaning when the pointer rests on it.
#include <map>

class QAction;

namespace zudorave {

class TemplateDialog;

// Call once the controls and the menu exist.
void DescribeMainDialog(const TemplateDialog& dialog, const std::map<int, QAction*>& menuItems);

}  // namespace zudorave
