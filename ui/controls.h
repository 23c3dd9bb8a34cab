// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a control template into a Qt widget at its place. Each widget is named after its id,
// so it can be found by id, and keeps its text as its accessible name.
#include <QWidget>

#include "ui/dialog_template.h"
#include "ui/dialog_units.h"

namespace zudorave {

// previous is the control created just before, the buddy of an up-down.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const DialogUnits& units,
                       QWidget* previous);

// Gives a widget made elsewhere the control's id, place, accessible name and state, as
// CreateControl does with its own.
void PlaceControl(QWidget* widget, const ControlTemplate& control, const DialogUnits& units);

// The text shown for "&Transmit": the ampersand marks the mnemonic and is not read out.
QString AccessibleText(const char* text);

}  // namespace zudorave
