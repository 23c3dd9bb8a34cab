// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keying dialog's text box. It shows the decoded text in upper case and, while the station
// keys by hand (operating state 6 or 7), turns the keyboard into paddles: Left or ',' ('<') the
// left paddle, Right or '.' ('>') the right one, any other key and every release lets go. It
// takes every key press and release in every state, so no key moves its caret, starts a shortcut
// or reaches the dialog. User-interface thread only.
#include <QPlainTextEdit>
#include <cstdint>

#include "morse/morse_keyer.h"
#include "morse/station_values.h"

namespace zudorave {

class KeyingEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  // keyer and station outlive the edit; keyer is not null.
  KeyingEdit(MorseKeyer* keyer, const StationValues& station, QWidget* parent = nullptr);

  // The paddle input of a key going down: LeftPaddle, RightPaddle or NoPaddle.
  static int32_t PaddleInputOf(int key);

  // Shows text and keeps its end in view.
  void ShowText(const QString& text);

 protected:
  bool event(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool Keying() const;
  void OnKey(const QKeyEvent& key);

  MorseKeyer* keyer_;
  const StationValues& station_;
};

}  // namespace zudorave
