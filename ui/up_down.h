// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An up-down control: two horizontal arrows that step a position through a range, wrapping at
// the ends, and show it in a buddy edit with thousands separators. Reading the position reads
// the buddy's text back, so what the user typed counts.
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <optional>

class QToolButton;

namespace zudorave {

// An edit that takes digits only from the keyboard; pasted text goes in unfiltered.
class DigitEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit DigitEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class UpDown : public QWidget {
  Q_OBJECT
 public:
  struct Position {
    int32_t value;
    bool invalid;  // the buddy's text gave no position in range; value is the last good one
  };

  explicit UpDown(QWidget* parent = nullptr);

  void SetBuddy(QLineEdit* buddy);
  QLineEdit* Buddy() const { return buddy_; }
  void SetRange(int32_t lower, int32_t upper);
  int32_t Lower() const { return lower_; }
  int32_t Upper() const { return upper_; }
  // Sets the position and writes it into the buddy.
  void SetPos(int32_t position);
  // Reads the buddy's text as the position; on success the position follows it.
  Position GetPos();
  // One step up (+1) or down (-1) from the buddy's current value, wrapping.
  void Step(int direction);

  static QString Format(int32_t value);
  // Digits with optional thousands separators, an optional leading minus and blanks around.
  static std::optional<int32_t> Parse(const QString& text);

 signals:
  // Every arrow step, as a horizontal scroll notification for the parent.
  void Scrolled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* less_;
  QToolButton* more_;
  QLineEdit* buddy_ = nullptr;
  int32_t lower_ = 0;
  int32_t upper_ = 100;
  int32_t position_ = 0;
};

}  // namespace zudorave
