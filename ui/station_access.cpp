// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/station_access.h"

#include <QPlainTextEdit>
#include <QSlider>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/template_dialog.h"

namespace zudorave {

void MakePanelAccessible(TemplateDialog& dialog) {
  // Tab leaves the text to send; Ctrl+Tab still types one.
  dialog.ControlAs<QPlainTextEdit>(IDC_TEXT)->setTabChangesFocus(true);

  const struct {
    int id;
    const char* description;
  } commands[] = {
      {IDC_TRANSMIT, "Sends the text to send in Morse, at the speed and spacing set"},
      {IDC_STOP, "Stops sending after the character under way, or ends the reception"},
      {IDC_MANUAL, "Opens the keying dialog to key Morse by hand with the paddles"},
      {IDC_RECEIVE, "Records from the input until Stop"},
      {IDC_LOOP, "Sends the text again from its start each time it ends"},
      {IDC_MIKE, "Mixes the sound input (the microphone) into the tone"},
  };
  for (const auto& [id, description] : commands) {
    dialog.Control(id)->setAccessibleDescription(description);
  }

  std::vector<QWidget*> order;
  for (const int id : {IDC_TEXT, IDC_SPEED_SLIDER, IDC_SPACING_SLIDER, IDC_TRANSMIT, IDC_STOP,
                       IDC_MANUAL, IDC_RECEIVE, IDC_LOOP, IDC_MIKE}) {
    order.push_back(dialog.Control(id));
  }
  for (const char* name : {"GeneratorLevel", "SidetoneLevel"}) {
    if (auto* slider = dialog.findChild<QSlider*>(name)) order.push_back(slider);
  }
  // The received text, where the panel has it, comes last as it does on screen.
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    const QString name = widget->accessibleName();
    if (name == "Received text" || name == "Clear received text") order.push_back(widget);
  }
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace zudorave
