// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_template.h"

#include <array>

namespace zudorave {

namespace {

using enum ControlKind;

constexpr std::array kMainControls = {
    ControlTemplate{1043, "button", "A*B*C", PushLikeRadio, true, true, true, 230, 52, 24, 13},
    ControlTemplate{1000, "button", "&Transmit", PushButton, false, false, true, 81, 93, 25, 7},
    ControlTemplate{1021, "button", "&Manual", PushButton, false, false, true, 26, 94, 25, 7},
    ControlTemplate{1032, "button", "E&xit", PushButton, false, false, true, 61, 95, 16, 6},
    ControlTemplate{1001, "msctls_trackbar32", "", Trackbar, true, true, true, 34, 60, 142, 17},
    ControlTemplate{1002, "msctls_trackbar32", "", Trackbar, false, false, true, 110, 84, 26, 17},
    ControlTemplate{1007, "msctls_trackbar32", "", Trackbar, false, false, true, 138, 83, 26, 17},
    ControlTemplate{1013, "edit", "", MultiLineEdit, false, false, true, 230, 80, 24, 12},
    ControlTemplate{1014, "button", "&Stop", PushButton, false, false, true, 54, 86, 25, 7},
    ControlTemplate{1022, "button", "Loop", CheckBox, false, false, true, 15, 86, 18, 8},
    ControlTemplate{1030, "static", "", RightStatic, true, true, false, 13, 62, 19, 12},
    ControlTemplate{1033, "button", "&Receive", PushButton, false, false, true, 28, 87, 25, 7},
    ControlTemplate{1038, "button", "AF1", PushLikeCheck, true, true, false, 183, 61, 29, 14},
    ControlTemplate{1039, "button", "LSB", PushLikeRadio, true, true, true, 230, 4, 24, 13},
    ControlTemplate{1040, "button", "USB", PushLikeRadio, true, true, true, 230, 20, 24, 13},
    ControlTemplate{1041, "button", "DSB", PushLikeRadio, true, true, true, 230, 36, 24, 13},
    ControlTemplate{1042, "button", "A+B+C", PushLikeRadio, true, true, true, 230, 68, 24, 13},
    ControlTemplate{1052, "button", "AF2", PushLikeCheck, true, true, true, 183, 34, 29, 14},
    ControlTemplate{1053, "button", "AF3", PushLikeCheck, true, true, true, 183, 9, 29, 14},
    ControlTemplate{1054, "edit", "", NumberEdit, true, true, true, 113, 9, 33, 12},
    ControlTemplate{1055, "msctls_updown32", "", UpDown, true, true, false, 147, 9, 31, 12},
    ControlTemplate{1056, "edit", "", NumberEdit, true, true, true, 113, 34, 33, 12},
    ControlTemplate{1057, "msctls_updown32", "", UpDown, true, true, false, 147, 34, 31, 12},
    ControlTemplate{-1, "button", "10-2000 Hz", GroupBox, true, true, false, 8, 53, 212, 25},
    ControlTemplate{-1, "button", "100-4000 Hz", GroupBox, true, true, false, 8, 25, 212, 25},
    ControlTemplate{-1, "button", "1000-18000 Hz", GroupBox, true, true, false, 7, 0, 212, 25},
    ControlTemplate{1044, "button", "Mike", PushLikeCheck, false, false, false, 183, 78, 29, 14},
};

constexpr DialogTemplate kMainDialog{102, "By Zuderiv", 261, 103, kMainControls};

// The version line is filled in by the dialog, which knows the build's version.
constexpr std::array kAboutControls = {
    ControlTemplate{-1, "static", "", IconStatic, true, true, false, 11, 17, 20, 20},
    ControlTemplate{-1, "static", "", LeftStatic, true, true, false, 41, 14, 119, 8},
    ControlTemplate{-1, "static", "By Zuderiv, for radio amateurs", LeftStatic, true, true, false,
                    41, 25, 119, 8},
    ControlTemplate{1, "button", "OK", DefaultButton, true, true, true, 162, 30, 45, 14},
};

constexpr DialogTemplate kAboutDialog{100, "About Zudorave", 217, 55, kAboutControls};

// The keying dialog makes edit 1029 its own: upper case, read-only, scrolling down by itself.
constexpr std::array kKeyingControls = {
    ControlTemplate{2, "button", "Cancel", PushButton, true, true, false, 125, 141, 50, 14},
    ControlTemplate{1029, "edit", "", MultiLineEdit, true, true, true, 7, 7, 172, 130},
    ControlTemplate{1030, "button", "Clear", PushButton, true, true, false, 11, 141, 50, 14},
};

constexpr DialogTemplate kKeyingDialog{141, "Transmit", 186, 164, kKeyingControls};

}  // namespace

const DialogTemplate& MainDialogTemplate() { return kMainDialog; }
const DialogTemplate& AboutDialogTemplate() { return kAboutDialog; }
const DialogTemplate& KeyingDialogTemplate() { return kKeyingDialog; }

}  // namespace zudorave
