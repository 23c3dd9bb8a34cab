// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/up_down.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <limits>

namespace zudorave {

DigitEdit::DigitEdit(QWidget* parent) : QLineEdit(parent) {}

void DigitEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool printable = !text.isEmpty() && text.at(0).isPrint();
  const bool shortcut = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
  if (printable && !shortcut) {
    for (const QChar c : text) {
      if (!c.isDigit()) {
        event->ignore();
        return;
      }
    }
  }
  QLineEdit::keyPressEvent(event);
}

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), less_(new QToolButton(this)), more_(new QToolButton(this)) {
  less_->setArrowType(Qt::LeftArrow);
  more_->setArrowType(Qt::RightArrow);
  less_->setAccessibleName("Less");
  more_->setAccessibleName("More");
  for (QToolButton* arrow : {less_, more_}) {
    arrow->setAutoRepeat(true);
    // The arrow keys in the buddy step the value, so the arrows need no focus of their own.
    arrow->setFocusPolicy(Qt::NoFocus);
  }
  connect(less_, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(more_, &QToolButton::clicked, this, [this] { Step(+1); });
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int half = width() / 2;
  less_->setGeometry(0, 0, half, height());
  more_->setGeometry(half, 0, width() - half, height());
}

void UpDown::SetBuddy(QLineEdit* buddy) {
  if (buddy_ != nullptr) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_ != nullptr) buddy_->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) {
      Step(+1);
      return true;
    }
    if (key == Qt::Key_Down) {
      Step(-1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDown::SetRange(int32_t lower, int32_t upper) {
  lower_ = lower;
  upper_ = upper;
}

void UpDown::SetPos(int32_t position) {
  position_ = position;
  if (buddy_ != nullptr) buddy_->setText(Format(position_));
}

UpDown::Position UpDown::GetPos() {
  if (buddy_ == nullptr) return {position_, false};
  const std::optional<int32_t> value = Parse(buddy_->text());
  const int32_t low = std::min(lower_, upper_);
  const int32_t high = std::max(lower_, upper_);
  if (!value || *value < low || *value > high) return {position_, true};
  position_ = *value;
  return {position_, false};
}

void UpDown::Step(int direction) {
  int32_t next = GetPos().value + direction;
  if (next > upper_) next = lower_;
  if (next < lower_) next = upper_;
  SetPos(next);
  emit Scrolled();
}

QString UpDown::Format(int32_t value) {
  QString digits = QString::number(value < 0 ? -int64_t{value} : int64_t{value});
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
  return value < 0 ? "-" + digits : digits;
}

std::optional<int32_t> UpDown::Parse(const QString& text) {
  const QString trimmed = text.trimmed();
  qsizetype at = 0;
  const bool negative = trimmed.startsWith('-');
  if (negative) ++at;
  int64_t value = 0;
  bool anyDigit = false;
  for (; at < trimmed.size(); ++at) {
    const QChar c = trimmed.at(at);
    if (c == ',' && anyDigit) continue;
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c.unicode() - '0');
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    anyDigit = true;
  }
  if (!anyDigit) return std::nullopt;
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace zudorave
