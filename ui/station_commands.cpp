// The main dialog's side of the operating states: its station controls, its user messages, the
// menu enabling and the caret that follows the keyed character.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <utility>

#include "morse/operating_state.h"
#include "ui/dialog_template.h"
#include "ui/main_dlg.h"
#include "ui/menu_resource.h"
#include "ui/menu_state.h"

namespace zudorave {

namespace {

constexpr int CaretWidth = 3;
constexpr int CaretHeight = 15;
constexpr int LinesBeforeScrolling = 13;
constexpr int LinesScrolled = 2;

// The line, counting wrapped lines, that holds a character of a plain text edit.
int LineOf(const QPlainTextEdit& edit, int position) {
  const QTextBlock block = edit.document()->findBlock(position);
  if (!block.isValid()) return 0;
  const QTextLayout* layout = block.layout();
  const int inBlock = layout != nullptr && layout->lineCount() > 0
                          ? layout->lineForTextPosition(position - block.position()).lineNumber()
                          : 0;
  return block.firstLineNumber() + std::max(inBlock, 0);
}

}  // namespace

void MainDlg::EnableControl(int id, bool enabled) {
  if (QWidget* control = Control(id)) control->setEnabled(enabled);
}

std::string MainDlg::TypedText() const {
  // The text to send is plain ASCII Morse; other characters become '?', one byte each.
  return TextEdit->toPlainText().toLatin1().toStdString();
}

int32_t MainDlg::LoopChecked() const { return LoopCheck->isChecked() ? 1 : 0; }

void MainDlg::CaptureClosed() {
  // The Mike box shares the capture that the reception has just closed.
  if (!MikeCheck->isChecked()) return;
  MikeCheck->setChecked(false);
  UpdateOscMask();
}

bool MainDlg::Receiving() const { return Receives(context_.Station.OperatingState); }

intptr_t MainDlg::SendMessage(uint32_t message, uintptr_t /*wParam*/, intptr_t /*lParam*/) {
  switch (message) {
    case WM_TX_DONE:
      return OnTxDone();
    case WM_MENU_REFRESH:
    case WM_MENU_REFRESH_AGAIN:
      return OnMenuRefresh();
    case WM_SHOW_KEYED_CHAR:
      return OnShowKeyedChar();
    default:
      return 0;
  }
}

intptr_t MainDlg::OnTxDone() {
  States.TxDone();
  // An AF1 move held back while transmitting reaches the oscillator now.
  if (std::exchange(context_.Station.ToneChangePending, 0) != 0) {
    context_.Tx.FillOscillator(1, context_.Af1Frequency);
    Remix();
  }
  return 0;
}

intptr_t MainDlg::OnMenuRefresh() {
  UpdateMenuState();
  return 1;
}

void MainDlg::OnInitMenu() {
  if (NotWindowsNT != 0) MenuItem(ID_OPTION_SPEAKER)->setEnabled(false);
  UpdateMenuState();
}

void MainDlg::UpdateMenuState() {
  for (const auto& [id, enabled] : MenuStateFor(context_.Station.OperatingState)) {
    MenuItem(id)->setEnabled(enabled);
  }
}

intptr_t MainDlg::OnShowKeyedChar() {
  if (KeyedCaret == nullptr) {
    KeyedCaret = new QWidget(TextEdit->viewport());
    KeyedCaret->setObjectName("KeyedCaret");
    KeyedCaret->setFixedSize(CaretWidth, CaretHeight);
    KeyedCaret->setAttribute(Qt::WA_TransparentForMouseEvents);
    KeyedCaret->setAutoFillBackground(true);
    QPalette solid = KeyedCaret->palette();
    solid.setColor(QPalette::Window, TextEdit->palette().color(QPalette::Text));
    KeyedCaret->setPalette(solid);
  }
  KeyedCaret->show();
  PlaceCaret();
  QScrollBar* lines = TextEdit->verticalScrollBar();
  const int firstVisible = lines->value();
  if (LineOf(*TextEdit, KeyedPosition()) >= firstVisible + LinesBeforeScrolling) {
    lines->setValue(firstVisible + LinesScrolled);
    PlaceCaret();
  }
  return 1;
}

int MainDlg::KeyedPosition() const {
  const int last = TextEdit->document()->characterCount() - 1;
  return std::clamp(static_cast<int>(context_.Station.KeyedCharIndex), 0, last);
}

// Only the drawn caret moves: the edit's own cursor, where typing goes, and its scrolling stay.
void MainDlg::PlaceCaret() {
  QTextCursor at(TextEdit->document());
  at.setPosition(KeyedPosition());
  KeyedCaret->move(TextEdit->cursorRect(at).topLeft());
}

}  // namespace zudorave
