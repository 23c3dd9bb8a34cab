// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying dialog (template 141): the decoded text in a box whose keys are the paddles, the
// joystick's buttons as paddles too, Clear and Cancel. The main dialog runs it modally for a
// manual run; Cancel ends the run through the function it was given. Everything, joystick
// polling included, runs on the user-interface thread.
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/joystick.h"
#include "platform/prompts.h"
#include "platform/speaker.h"
#include "ui/template_dialog.h"

namespace zudorave {

class KeyingEdit;

class KeyingDlg : public TemplateDialog, public JoystickTarget {
  Q_OBJECT
 public:
  // Builds the dialog, says when there is no joystick or it cannot be captured, and holds the
  // capture until the dialog ends. Everything passed outlives the dialog; keyer is not null.
  // endManualRun is called first when the dialog is cancelled.
  KeyingDlg(MorseKeyer* keyer, StationValues& station, Joystick& joystick, Prompts& prompts,
            Speaker& speaker, std::function<void()> endManualRun, QWidget* parent = nullptr);
  ~KeyingDlg() override;

  // Shows the decoded text so far, in place of what the box showed.
  void ShowDecodedText(const std::string& text);
  // Empties the station's decoded text and the box; the paddles and the state stay.
  void ClearKeyingText();

  // Any button down or up is a paddle input, whatever the station does.
  void OnJoyButton(uint32_t message, uint32_t buttons) override;

 public slots:
  // Cancel, Escape and the close box: ends the manual run, clears the text, ends the dialog.
  void reject() override;

 protected:
  void done(int result) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitDialog();
  void ReleaseJoystick();
  void TakeTheKeys();

  MorseKeyer* keyer_;
  StationValues& station_;
  Joystick& joystick_;
  Prompts& prompts_;
  Speaker& speaker_;
  std::function<void()> endManualRun_;
  KeyingEdit* edit_ = nullptr;
  QTimer poll_;
  bool captured_ = false;
};

}  // namespace zudorave
