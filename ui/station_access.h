// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station panel for the keyboard and screen readers: Tab and Shift+Tab go through it in
// reading order (Tab in the text to send moves on rather than typing a tab), and its commands
// say what they do. Threads: user-interface thread only.
namespace zudorave {

class TemplateDialog;

// Once the panel holds its controls; the level sliders, when there, come last.
void MakePanelAccessible(TemplateDialog& dialog);

}  // namespace zudorave
