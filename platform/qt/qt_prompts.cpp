// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace zudorave {

namespace {

QMessageBox::Icon IconOf(uint32_t type) {
  switch (type & 0xF0) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons ButtonsOf(uint32_t type) {
  switch (type & 0x0F) {
    case MB_OKCANCEL:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

int AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Cancel:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

}  // namespace

int QtPrompts::MessageBox(const std::string& text, const std::string& caption, uint32_t type) {
  // Like the system's boxes, it opens over whatever window is active.
  QMessageBox box(IconOf(type), QString::fromStdString(caption), QString::fromStdString(text),
                  ButtonsOf(type), QApplication::activeWindow());
  return AnswerOf(box.exec());
}

std::optional<std::string> QtPrompts::SaveFileName(const std::string& filter, uint32_t flags) {
  QFileDialog::Options options;
  if ((flags & OFN_OVERWRITEPROMPT) == 0) options |= QFileDialog::DontConfirmOverwrite;
  const QString name = QFileDialog::getSaveFileName(
      QApplication::activeWindow(), QString(), QString(), QtFileFilter(filter), nullptr, options);
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void QtPrompts::Beep() { QApplication::beep(); }

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString& pattern = parts[i + 1];
    if (description.isEmpty()) break;  // the empty pair that ends the list
    if (description.contains('(') || pattern.isEmpty()) {
      entries << description;
    } else {
      entries << description + " (" + pattern + ")";
    }
  }
  return entries.join(";;");
}

}  // namespace zudorave
