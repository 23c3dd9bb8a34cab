// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog's station controls as a view: the text to send, Loop, the Transmit, Stop,
// Manual and Receive buttons and their Config items, the speed and spacing trackbars, and the
// caret on the character being sent. It turns their events into the station controller's
// commands, and is the one place where the controller's effects reach the widgets: the
// buttons' enabling, the menu, the caret, the keying dialog. The template hides these
// controls; the station panel shows the very same widgets.
// Threads: user-interface thread only.
#include <cstdint>
#include <map>
#include <string>

#include "capture/received_samples.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/joystick.h"
#include "platform/output_level.h"
#include "platform/prompts.h"
#include "platform/speaker.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "station/station_controller.h"
#include "station/station_view.h"

class QAction;
class QCheckBox;
class QPlainTextEdit;
class QSlider;
class QWidget;

namespace zudorave {

class ReceivedText;
class TemplateDialog;
class ToneControls;

class StationControls : public StationView {
 public:
  // What a manual run's keying dialog works with; all of it outlives the view.
  struct Keying {
    MorseKeyer& keyer;
    StationValues& station;
    Joystick& stick;
    Prompts& ask;
    Speaker& speaker;
    UiThread& ui;
  };

  // The controller and the tone controls outlive the view; the controller is not used
  // before the first command.
  StationControls(StationController& controller, ToneControls& tone, const Keying& keying);

  // Takes the dialog's controls and menu items once they exist, and gives the trackbars
  // their ranges and the buttons their first enabling.
  void Attach(TemplateDialog& dialog, const std::map<int, QAction*>& menu);
  // Where the panel reads received Morse from, set before ShowPanel; without it the panel
  // shows no received text.
  void ReceiveFrom(ReceivedSamples* samples, WaveIn& device);
  // Shows the controls, labelled, in a panel below the tone controls; with levels, their
  // controls too.
  void ShowPanel(OutputLevels* levels = nullptr);

  // A command or notification of one of its controls or items; false when none is its.
  bool OnCommand(int id, uint32_t code);
  // Any horizontal scroll: the speed and spacing are taken first, whichever trackbar moved.
  void OnScroll();

  void Enable(const Enabling& enabling) override;
  std::string TypedText() const override;
  bool LoopChecked() const override;
  void RunKeyingDialog(int monitorPriority) override;
  void CaptureClosed() override;
  void ReceptionStarted() override;
  void ReceptionEnded() override;
  void RefreshMenu() override;
  void ShowKeyedChar() override;

 private:
  int KeyedPosition() const;  // KeyedCharIndex, within the edit's text
  void PlaceCaret();

  StationController& controller_;
  ToneControls& tone_;
  Keying keying_;
  TemplateDialog* dialog_ = nullptr;
  std::map<int, QAction*> menu_;
  QPlainTextEdit* text_ = nullptr;
  QCheckBox* loop_ = nullptr;
  QSlider* speed_ = nullptr;
  QSlider* spacing_ = nullptr;
  // Drawn over the text box, apart from its own cursor, so what the operator types still goes
  // where they type it. Made on first use.
  QWidget* caret_ = nullptr;
  ReceivedSamples* samples_ = nullptr;
  WaveIn* device_ = nullptr;
  ReceivedText* received_ = nullptr;  // in the panel, once shown
};

}  // namespace zudorave
