// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/keying_dlg.h"

#include <QPushButton>

#include "ui/keying_edit.h"

namespace zudorave {

namespace {

constexpr char NoJoystick[] = "There are no joystick devices installed.";
constexpr char NoCapture[] = "Couldn't capture the joystick";
constexpr char UseTheKeys[] = "Please use the '<' and '>' keys";

// Button changes reach the paddles within a few milliseconds.
constexpr int PollMs = 10;

}  // namespace

KeyingDlg::KeyingDlg(MorseKeyer* keyer, StationValues& station, Joystick& joystick,
                     Prompts& prompts, Speaker& speaker, std::function<void()> endManualRun,
                     QWidget* parent)
    : TemplateDialog(parent),
      keyer_(keyer),
      station_(station),
      joystick_(joystick),
      prompts_(prompts),
      speaker_(speaker),
      endManualRun_(std::move(endManualRun)) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::WindowModal);
  BuildFromTemplate(KeyingDialogTemplate(), nullptr,
                    [this](const ControlTemplate& control, QWidget* client) -> QWidget* {
                      if (control.id != IDC_KEYING_TEXT) return nullptr;
                      edit_ = new KeyingEdit(keyer_, station_, client);
                      return edit_;
                    });
  // The edit is the only tab stop, so it has the focus when the dialog opens; the buttons take
  // it when clicked.
  auto* cancel = ControlAs<QPushButton>(IDCANCEL_BUTTON);
  auto* clear = ControlAs<QPushButton>(IDC_KEYING_CLEAR);
  cancel->setFocusPolicy(Qt::ClickFocus);
  clear->setFocusPolicy(Qt::ClickFocus);
  connect(cancel, &QPushButton::clicked, this, &KeyingDlg::reject);
  connect(clear, &QPushButton::clicked, this, &KeyingDlg::ClearKeyingText);
  edit_->setFocus();
  poll_.setInterval(PollMs);
  connect(&poll_, &QTimer::timeout, this, [this] { joystick_.Poll(); });
  OnInitDialog();
}

KeyingDlg::~KeyingDlg() {
  // The joystick must not keep a target that is gone.
  ReleaseJoystick();
}

void KeyingDlg::OnInitDialog() {
  if (joystick_.GetNumDevs() == 0) {
    prompts_.MessageBox(NoJoystick, UseTheKeys, MB_OK | MB_ICONEXCLAMATION);
  }
  // Tried whatever the count said; only an unplugged joystick is worth a word.
  const uint32_t result = joystick_.SetCapture(this, JOYSTICKID1);
  if (result == JOYERR_NOERROR) {
    captured_ = true;
    poll_.start();
  } else if (result == JOYERR_UNPLUGGED) {
    speaker_.MessageBeep(MB_ICONEXCLAMATION);
    prompts_.MessageBox(NoCapture, UseTheKeys, MB_OK | MB_ICONEXCLAMATION);
  }
}

void KeyingDlg::ReleaseJoystick() {
  if (!captured_) return;
  captured_ = false;
  poll_.stop();
  joystick_.ReleaseCapture(JOYSTICKID1);
}

void KeyingDlg::OnJoyButton(uint32_t message, uint32_t buttons) {
  if (message == MM_JOY1BUTTONDOWN) {
    keyer_->SetPaddle((buttons & JOY_BUTTON1CHG) != 0 ? LeftPaddle : RightPaddle);
  } else if (message == MM_JOY1BUTTONUP) {
    keyer_->SetPaddle(NoPaddle);
  }
}

void KeyingDlg::ShowDecodedText(const std::string& text) {
  edit_->ShowText(QString::fromStdString(text));
}

void KeyingDlg::ClearKeyingText() {
  station_.DecodedText.Clear();
  edit_->clear();
}

void KeyingDlg::reject() {
  // The run ends first, so that nothing is decoded into the text after it is cleared.
  if (endManualRun_) endManualRun_();
  ClearKeyingText();
  done(QDialog::Rejected);
}

void KeyingDlg::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  // The paddles' box has the keys however the dialog was opened: from a button of the window,
  // which kept the focus there, too. Once more after the window system has shown it.
  TakeTheKeys();
  QTimer::singleShot(0, this, &KeyingDlg::TakeTheKeys);
}

void KeyingDlg::TakeTheKeys() {
  activateWindow();
  edit_->setFocus(Qt::ActiveWindowFocusReason);
}

void KeyingDlg::done(int result) {
  ReleaseJoystick();
  QDialog::done(result);
}

}  // namespace zudorave
