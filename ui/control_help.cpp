// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/control_help.h"

#include <QAction>
#include <QMenu>
#include <array>

#include "ui/dialog_template.h"
#include "ui/menu_resource.h"
#include "ui/template_dialog.h"

namespace zudorave {

namespace {

struct Help {
  int id;
  const char* name;  // null: the control keeps the name its text gives it
  const char* toolTip;
};

// The ranges are the ones the handlers apply; AF3's group box says 1000 but 300 Hz is accepted.
constexpr std::array kControls = {
    Help{IDC_AF1_SLIDER, "AF1 frequency", "AF1 frequency: 10-2000 Hz"},
    Help{IDC_AF2_EDIT, "AF2 frequency", "AF2 frequency: 100-4000 Hz; Up and Down step it"},
    Help{IDC_AF2_SPIN, "AF2 frequency arrows",
         "Step the AF2 frequency down or up by 1 Hz; past either end it wraps"},
    Help{IDC_AF3_EDIT, "AF3 frequency",
         "AF3 frequency, the carrier: 300-18000 Hz; Up and Down step it"},
    Help{IDC_AF3_SPIN, "AF3 frequency arrows",
         "Step the AF3 frequency down or up by 1 Hz; past either end it wraps"},
    Help{IDC_AF1, nullptr, "Switch oscillator AF1 (10-2000 Hz) on or off"},
    Help{IDC_AF2, nullptr, "Switch oscillator AF2 (100-4000 Hz) on or off"},
    Help{IDC_AF3, nullptr, "Switch oscillator AF3 (300-18000 Hz) on or off"},
    Help{IDC_LSB, nullptr, "Lower sideband: AF1 and AF2 modulate the AF3 carrier"},
    Help{IDC_USB, nullptr, "Upper sideband: AF1 and AF2 modulate the AF3 carrier"},
    Help{IDC_DSB, nullptr, "Double sideband: AF1 and AF2 modulate the AF3 carrier"},
    Help{IDC_SUM, nullptr, "The sum of the oscillators that are on"},
    Help{IDC_PRODUCT, nullptr, "The product of the oscillators that are on"},
};

constexpr std::array kOptionItems = {
    Help{ID_OPTION_SINUS, nullptr, "Key a pure sine tone; unchecked, the keyed tone is clipped"},
    Help{ID_OPTION_SPEAKER, nullptr, "Key on the speaker when the sound card cannot be opened"},
    Help{ID_OPTION_IGNORE_SPACES, nullptr, "Pass over the spaces in the text to send"},
};

}  // namespace

void DescribeMainDialog(const TemplateDialog& dialog, const std::map<int, QAction*>& menuItems) {
  for (const Help& help : kControls) {
    QWidget* control = dialog.Control(help.id);
    if (control == nullptr) continue;
    if (help.name != nullptr) control->setAccessibleName(help.name);
    control->setToolTip(help.toolTip);
  }
  for (const Help& help : kOptionItems) {
    const auto found = menuItems.find(help.id);
    if (found == menuItems.end()) continue;
    found->second->setToolTip(help.toolTip);
    // A menu shows its items' tooltips only when asked to.
    for (QObject* menu : found->second->associatedObjects()) {
      if (auto* popup = qobject_cast<QMenu*>(menu)) popup->setToolTipsVisible(true);
    }
  }
}

}  // namespace zudorave
