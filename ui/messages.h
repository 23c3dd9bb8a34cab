// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notification codes, the main dialog's user messages and the window menu's system commands:
// the numbers through which the windows and the keying engine talk.
#include <cstdint>

namespace zudorave {

// The title of the program's own message boxes.
inline constexpr char AppTitle[] = "Zudorave";

// Notification codes of commands; a menu command arrives as BN_CLICKED (0).
inline constexpr uint32_t BN_CLICKED = 0;
inline constexpr uint32_t EN_CHANGE = 0x300;

// User messages of the main dialog.
inline constexpr uint32_t WM_USER = 0x400;
inline constexpr uint32_t WM_TX_DONE = WM_USER + 1;            // a transmission has ended
inline constexpr uint32_t WM_MENU_REFRESH = WM_USER + 100;     // enable the menu for the state
inline constexpr uint32_t WM_SHOW_KEYED_CHAR = WM_USER + 101;  // put the caret on the keyed char
inline constexpr uint32_t WM_MENU_REFRESH_AGAIN = WM_USER + 103;

// System commands of the window menu.
inline constexpr uint32_t IDM_ABOUTBOX = 0x0010;
inline constexpr uint32_t SC_MINIMIZE = 0xF020;
inline constexpr uint32_t SC_CLOSE = 0xF060;

}  // namespace zudorave
