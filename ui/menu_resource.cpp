// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu_resource.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <array>

namespace zudorave {

namespace {

constexpr std::array kFile = {
    MenuItemTemplate{"&Open\tCtrl+O", ID_FILE_OPEN, true},
    MenuItemTemplate{nullptr, 0, false},
    MenuItemTemplate{"&Save\tCtrl+S", ID_FILE_SAVE, true},
    MenuItemTemplate{"Save As \tCtrl+A", ID_FILE_SAVE_AS, true},
    MenuItemTemplate{nullptr, 0, false},
    MenuItemTemplate{"E&xit", ID_FILE_EXIT, false},
};
constexpr std::array kOption = {
    MenuItemTemplate{"&Sinus", ID_OPTION_SINUS, false},
    MenuItemTemplate{"&Use Speaker", ID_OPTION_SPEAKER, false},
    MenuItemTemplate{"&Ignore Spaces", ID_OPTION_IGNORE_SPACES, false},
};
constexpr std::array kConfig = {
    MenuItemTemplate{"&Receive", ID_CONFIG_RECEIVE, false},
    MenuItemTemplate{"&Transmit", ID_CONFIG_TRANSMIT, false},
    MenuItemTemplate{"&Manual", ID_CONFIG_MANUAL, false},
    MenuItemTemplate{"&Stop", ID_CONFIG_STOP, false},
};
constexpr std::array kHelp = {
    MenuItemTemplate{"&About", ID_APP_ABOUT, false},
};

constexpr std::array kMainMenu = {
    PopupTemplate{"&File", kFile},
    PopupTemplate{"&Option", kOption},
    PopupTemplate{"Config", kConfig},
    PopupTemplate{"&Help", kHelp},
};

bool Checkable(int id) {
  return id == ID_OPTION_SINUS || id == ID_OPTION_SPEAKER || id == ID_OPTION_IGNORE_SPACES;
}

}  // namespace

std::span<const PopupTemplate> MainMenuTemplate() { return kMainMenu; }

std::map<int, QAction*> BuildMenuBar(QMenuBar& bar, std::span<const PopupTemplate> popups) {
  std::map<int, QAction*> actions;
  for (const PopupTemplate& popup : popups) {
    QMenu* menu = bar.addMenu(popup.text);
    menu->setObjectName(QString(popup.text).remove('&'));
    for (const MenuItemTemplate& item : popup.items) {
      if (item.text == nullptr) {
        menu->addSeparator();
        continue;
      }
      // QMenu shows what follows the tab as the key label, without binding the key.
      QAction* action = menu->addAction(item.text);
      action->setObjectName(QString::number(item.id));
      action->setData(item.id);
      action->setCheckable(Checkable(item.id));
      action->setEnabled(!item.grayed);
      actions[item.id] = action;
    }
  }
  return actions;
}

}  // namespace zudorave
