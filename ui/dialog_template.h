// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog templates: each control with its id, class, text, kind, visibility, enabling and
// place in dialog units, in tab (and creation) order.
#include <cstdint>
#include <span>

namespace zudorave {

enum class ControlKind {
  PushButton,
  PushLikeRadio,  // an automatic radio button drawn as a push button
  PushLikeCheck,  // an automatic check box drawn as a push button
  CheckBox,
  Trackbar,  // horizontal, automatic ticks
  MultiLineEdit,
  NumberEdit,  // digits only, right-aligned
  UpDown,      // horizontal, wraps, the preceding control is its buddy
  RightStatic,
  LeftStatic,
  GroupBox,
  IconStatic,
  DefaultButton,
};

struct ControlTemplate {
  int id;
  const char* className;
  const char* text;
  ControlKind kind;
  bool shown;
  bool enabled;
  bool tabStop;
  int x, y, width, height;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int width, height;
  std::span<const ControlTemplate> controls;
};

inline constexpr int IDC_STATIC = -1;

// Control ids of the main dialog.
inline constexpr int IDC_TRANSMIT = 1000;
inline constexpr int IDC_AF1_SLIDER = 1001;
inline constexpr int IDC_SPEED_SLIDER = 1002;
inline constexpr int IDC_SPACING_SLIDER = 1007;
inline constexpr int IDC_TEXT = 1013;
inline constexpr int IDC_STOP = 1014;
inline constexpr int IDC_MANUAL = 1021;
inline constexpr int IDC_LOOP = 1022;
inline constexpr int IDC_AF1_LABEL = 1030;
inline constexpr int IDC_EXIT = 1032;
inline constexpr int IDC_RECEIVE = 1033;
inline constexpr int IDC_AF1 = 1038;
inline constexpr int IDC_LSB = 1039;
inline constexpr int IDC_USB = 1040;
inline constexpr int IDC_DSB = 1041;
inline constexpr int IDC_SUM = 1042;
inline constexpr int IDC_PRODUCT = 1043;
inline constexpr int IDC_MIKE = 1044;
inline constexpr int IDC_AF2 = 1052;
inline constexpr int IDC_AF3 = 1053;
inline constexpr int IDC_AF3_EDIT = 1054;
inline constexpr int IDC_AF3_SPIN = 1055;
inline constexpr int IDC_AF2_EDIT = 1056;
inline constexpr int IDC_AF2_SPIN = 1057;

inline constexpr int IDOK_BUTTON = 1;
inline constexpr int IDCANCEL_BUTTON = 2;

// Control ids of the keying dialog.
inline constexpr int IDC_KEYING_TEXT = 1029;
inline constexpr int IDC_KEYING_CLEAR = 1030;

const DialogTemplate& MainDialogTemplate();    // dialog 102
const DialogTemplate& AboutDialogTemplate();   // dialog 100
const DialogTemplate& KeyingDialogTemplate();  // dialog 141

}  // namespace zudorave
