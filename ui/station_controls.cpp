// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/station_controls.h"

#include <QAction>
#include <QCheckBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <utility>

#include "station/station_threads.h"
#include "ui/dialog_template.h"
#include "ui/keying_dlg.h"
#include "ui/menu_resource.h"
#include "ui/menu_state.h"
#include "ui/messages.h"
#include "ui/received_text.h"
#include "ui/template_dialog.h"
#include "ui/tone_controls.h"

namespace zudorave {

KeyingDlg* ActiveKeyingDlg = nullptr;

namespace {

constexpr int CaretWidth = 3;
constexpr int CaretHeight = 15;
constexpr int LinesBeforeScrolling = 13;
constexpr int LinesScrolled = 2;

// The controls a transition enables and disables, by id.
constexpr std::pair<StationControl, int> ControlIds[] = {
    {StationControl::Stop, IDC_STOP},
    {StationControl::Transmit, IDC_TRANSMIT},
    {StationControl::Manual, IDC_MANUAL},
    {StationControl::Receive, IDC_RECEIVE},
    {StationControl::Spacing, IDC_SPACING_SLIDER},
};

// The commands of the station's buttons and Config items.
constexpr std::pair<int, StationCommand> Commands[] = {
    {IDC_TRANSMIT, StationCommand::Transmit}, {ID_CONFIG_TRANSMIT, StationCommand::Transmit},
    {IDC_STOP, StationCommand::Stop},         {ID_CONFIG_STOP, StationCommand::Stop},
    {IDC_MANUAL, StationCommand::Manual},     {ID_CONFIG_MANUAL, StationCommand::Manual},
    {IDC_RECEIVE, StationCommand::Receive},   {ID_CONFIG_RECEIVE, StationCommand::Receive},
    {IDC_LOOP, StationCommand::Loop},
};

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

// The monitor thread shows decoded text through this; it runs on the user-interface thread.
class KeyingDlgView : public DecodedTextView {
 public:
  explicit KeyingDlgView(KeyingDlg& dialog) : dialog_(dialog) {}
  void ShowDecodedText(const std::string& text) override { dialog_.ShowDecodedText(text); }

 private:
  KeyingDlg& dialog_;
};

// Disables a window, and enables it again as it goes whichever way the run ends.
class WindowDisabledWhile {
 public:
  WindowDisabledWhile(QWidget& window, QWidget& dialog) : window_(window) {
    window_.setEnabled(false);
    dialog.setEnabled(true);
  }
  ~WindowDisabledWhile() { window_.setEnabled(true); }
  WindowDisabledWhile(const WindowDisabledWhile&) = delete;
  WindowDisabledWhile& operator=(const WindowDisabledWhile&) = delete;

 private:
  QWidget& window_;
};

}  // namespace

StationControls::StationControls(StationController& controller, ToneControls& tone,
                                 const Keying& keying)
    : controller_(controller), tone_(tone), keying_(keying) {}

void StationControls::Attach(TemplateDialog& dialog, const std::map<int, QAction*>& menu) {
  dialog_ = &dialog;
  menu_ = menu;
  text_ = dialog.ControlAs<QPlainTextEdit>(IDC_TEXT);
  loop_ = dialog.ControlAs<QCheckBox>(IDC_LOOP);
  speed_ = dialog.ControlAs<QSlider>(IDC_SPEED_SLIDER);
  spacing_ = dialog.ControlAs<QSlider>(IDC_SPACING_SLIDER);
  {
    // Setting positions is not a user's scroll; the handler must not see it.
    const QSignalBlocker quietSpeed(speed_);
    const QSignalBlocker quietSpacing(spacing_);
    speed_->setTickInterval(5);
    speed_->setRange(MinSpeedWpm, MaxSpeedWpm);
    speed_->setValue(InitialSpeedWpm);
    spacing_->setTickInterval(100);
    spacing_->setRange(0, MaxExtraSpacing);
    spacing_->setValue(0);
  }
  dialog.Control(IDC_STOP)->setEnabled(false);
  dialog.Control(IDC_TRANSMIT)->setEnabled(true);
}

bool StationControls::OnCommand(int id, uint32_t code) {
  if (id == IDC_TEXT && code == EN_CHANGE) {
    controller_.TypedTextChanged();
    return true;
  }
  if (code != BN_CLICKED) return false;
  for (const auto& [control, command] : Commands) {
    if (control == id) {
      controller_.Run(command);
      return true;
    }
  }
  return false;
}

void StationControls::OnScroll() {
  keying_.keyer.SpeedStep(speed_->value());
  keying_.keyer.SpacingStep(spacing_->value());
}

void StationControls::Enable(const Enabling& enabling) {
  for (const auto& [control, id] : ControlIds) {
    if (Has(enabling.on, control)) dialog_->Control(id)->setEnabled(true);
    if (Has(enabling.off, control)) dialog_->Control(id)->setEnabled(false);
  }
}

std::string StationControls::TypedText() const {
  // The text to send is plain ASCII Morse; other characters become '?', one byte each.
  return text_->toPlainText().toLatin1().toStdString();
}

bool StationControls::LoopChecked() const { return loop_->isChecked(); }

void StationControls::CaptureClosed() { tone_.MikeReleased(); }

void StationControls::ReceiveFrom(ReceivedSamples* samples, WaveIn& device) {
  samples_ = samples;
  device_ = &device;
}

void StationControls::ReceptionStarted() {
  if (received_ != nullptr) received_->Start();
}

void StationControls::ReceptionEnded() {
  if (received_ != nullptr) received_->Stop();
}

void StationControls::RefreshMenu() {
  for (const auto& [id, enabled] : MenuStateFor(keying_.station.OperatingState)) {
    menu_.at(id)->setEnabled(enabled);
  }
}

void StationControls::RunKeyingDialog(int monitorPriority) {
  KeyingDlg dialog(
      &keying_.keyer, keying_.station, keying_.stick, keying_.ask, keying_.speaker,
      [this] { controller_.Run(StationCommand::KeyingCancelled); }, dialog_);
  KeyingDlgView view(dialog);
  ActiveKeyingDlg = &dialog;
  // The window answers nothing while the dialog runs; the dialog, a window of its own, stays
  // enabled under it.
  const WindowDisabledWhile disabled(*dialog_, dialog);
  {
    // Joined when the run ends, before the dialog it writes to goes.
    KeyingMonitorThread monitor(keying_.station, keying_.ui, view, monitorPriority);
    dialog.exec();
  }
  ActiveKeyingDlg = nullptr;
}

void StationControls::ShowKeyedChar() {
  if (caret_ == nullptr) {
    caret_ = new QWidget(text_->viewport());
    caret_->setObjectName("KeyedCaret");
    caret_->setFixedSize(CaretWidth, CaretHeight);
    caret_->setAttribute(Qt::WA_TransparentForMouseEvents);
    caret_->setAutoFillBackground(true);
    QPalette solid = caret_->palette();
    solid.setColor(QPalette::Window, text_->palette().color(QPalette::Text));
    caret_->setPalette(solid);
  }
  caret_->show();
  PlaceCaret();
  QScrollBar* lines = text_->verticalScrollBar();
  const int firstVisible = lines->value();
  if (LineOf(*text_, KeyedPosition()) >= firstVisible + LinesBeforeScrolling) {
    lines->setValue(firstVisible + LinesScrolled);
    PlaceCaret();
  }
}

int StationControls::KeyedPosition() const {
  const int last = text_->document()->characterCount() - 1;
  return std::clamp(static_cast<int>(keying_.station.KeyedCharIndex), 0, last);
}

// Only the drawn caret moves: the edit's own cursor, where typing goes, and its scrolling stay.
void StationControls::PlaceCaret() {
  QTextCursor at(text_->document());
  at.setPosition(KeyedPosition());
  caret_->move(text_->cursorRect(at).topLeft());
}

}  // namespace zudorave
