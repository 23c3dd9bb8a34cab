// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/keying_edit.h"

#include <QKeyEvent>

#include "morse/operating_state.h"

namespace zudorave {

KeyingEdit::KeyingEdit(MorseKeyer* keyer, const StationValues& station, QWidget* parent)
    : QPlainTextEdit(parent), keyer_(keyer), station_(station) {
  setReadOnly(true);
  // Read-only, it still takes the focus: the keys are the paddles.
  setFocusPolicy(Qt::StrongFocus);
  QFont shown = font();
  shown.setCapitalization(QFont::AllUppercase);
  setFont(shown);
  // No scroll bars; the text scrolls down by itself as it grows.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAccessibleName("Decoded text");
  setAccessibleDescription(
      "Left arrow or < keys the left paddle, right arrow or > the right paddle");
}

int32_t KeyingEdit::PaddleInputOf(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return LeftPaddle;
    case Qt::Key_Right:
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return RightPaddle;
    default:
      return NoPaddle;
  }
}

void KeyingEdit::ShowText(const QString& text) {
  setPlainText(text);
  moveCursor(QTextCursor::End);
}

bool KeyingEdit::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Claimed, so that every key comes here as a press and no shortcut takes it.
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // Taken before QWidget::event, which would move the focus on Tab.
      OnKey(static_cast<const QKeyEvent&>(*event));
      event->accept();
      return true;
    default:
      return QPlainTextEdit::event(event);
  }
}

void KeyingEdit::OnKey(const QKeyEvent& key) {
  if (!Keying()) return;
  if (key.type() == QEvent::KeyRelease) {
    // A held key repeats as release and press pairs; only its last release lets go.
    if (!key.isAutoRepeat()) keyer_->SetPaddle(NoPaddle);
    return;
  }
  keyer_->SetPaddle(PaddleInputOf(key.key()));
}

void KeyingEdit::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  // A key held while the focus leaves sends no release here.
  if (Keying()) keyer_->SetPaddle(NoPaddle);
}

bool KeyingEdit::Keying() const { return KeysByHand(station_.OperatingState); }

}  // namespace zudorave
