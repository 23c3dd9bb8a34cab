// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Menu 142 of the main dialog. Texts keep their "\t" key labels: there is no accelerator table,
// the labels are shown and nothing more.
#include <map>
#include <span>

class QAction;
class QMenuBar;

namespace zudorave {

struct MenuItemTemplate {
  const char* text;  // null for a separator
  int id;
  bool grayed;
};

struct PopupTemplate {
  const char* text;
  std::span<const MenuItemTemplate> items;
};

inline constexpr int ID_FILE_OPEN = 32790;
inline constexpr int ID_APP_ABOUT = 32791;
inline constexpr int ID_FILE_SAVE = 32792;
inline constexpr int ID_FILE_EXIT = 32795;
inline constexpr int ID_FILE_SAVE_AS = 32796;
inline constexpr int ID_OPTION_SINUS = 32798;
inline constexpr int ID_OPTION_SPEAKER = 32799;
inline constexpr int ID_CONFIG_TRANSMIT = 32800;
inline constexpr int ID_CONFIG_STOP = 32801;
inline constexpr int ID_CONFIG_MANUAL = 32802;
inline constexpr int ID_OPTION_IGNORE_SPACES = 32803;
inline constexpr int ID_CONFIG_RECEIVE = 32804;

std::span<const PopupTemplate> MainMenuTemplate();

// Fills the bar from the template; every item is an action named after its id, and the
// actions are returned by id. The Option items carry check marks.
std::map<int, QAction*> BuildMenuBar(QMenuBar& bar, std::span<const PopupTemplate> popups);

}  // namespace zudorave
