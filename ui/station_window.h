#pragma once
// What the operating states and their worker threads need of the main window, without Qt.
// User-interface thread only; workers reach it through CallOnUiThread.
#include <cstdint>
#include <string>

namespace zudorave {

class StationWindow {
 public:
  virtual ~StationWindow() = default;
  // Enables or disables one of the station's controls by id (they may be hidden).
  virtual void EnableControl(int id, bool enabled) = 0;
  // The whole text of the text box 1013, one byte a character.
  virtual std::string TypedText() const = 0;
  // The check state of Loop (1022): 0 or 1.
  virtual int32_t LoopChecked() const = 0;
  // Runs the keying dialog modally for a manual run; its monitor thread gets this priority.
  virtual void RunKeyingDialog(int monitorPriority) = 0;
  // The one capture was closed by the end of a reception: the Mike box must show it.
  virtual void CaptureClosed() = 0;
  // A user message sent to the window, with its result.
  virtual intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace zudorave
