// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station controller needs of the window, without widgets: the effects of a
// transition that show on screen, and what it reads from the station's controls.
// User-interface thread only.
#include <string>

#include "station/transitions.h"

namespace zudorave {

class StationView {
 public:
  virtual ~StationView() = default;
  // Enables and disables the station's controls as the row says (they may be hidden).
  virtual void Enable(const Enabling& enabling) = 0;
  // The whole text of the text box, one byte a character.
  virtual std::string TypedText() const = 0;
  virtual bool LoopChecked() const = 0;
  // Runs the keying dialog modally for a manual run; its monitor thread gets this priority.
  virtual void RunKeyingDialog(int monitorPriority) = 0;
  // The one capture was closed by the end of a reception: the Mike box must show it.
  virtual void CaptureClosed() = 0;
  // A reception has started recording, or has ended and its capture is closed: from the one to
  // the other, what the input records is read as Morse where the window shows it.
  virtual void ReceptionStarted() {}
  virtual void ReceptionEnded() {}
  // The File and Config items for the state.
  virtual void RefreshMenu() = 0;
  // The caret on the character being sent.
  virtual void ShowKeyedChar() = 0;
};

}  // namespace zudorave
