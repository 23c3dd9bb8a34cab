// The oscillator, mode, option and microphone controls of the main dialog.
#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "morse/operating_state.h"
#include "ui/dialog_template.h"
#include "ui/main_dlg.h"
#include "ui/menu_resource.h"
#include "ui/mode_buttons.h"
#include "ui/up_down.h"

namespace zudorave {

namespace {
constexpr char MikeFailure[] = "OnCheckMike() - OpenSndRx() failed! ";
}  // namespace

void MainDlg::Remix() {
  for (const auto& [id, mode] : ModeButtons) {
    if (qobject_cast<QAbstractButton*>(Control(id))->isChecked()) context_.Tx.Mix(mode, OscMask);
  }
}

int32_t MainDlg::UpdateOscMask() {
  const bool wasSilent = OscMask == 0;
  if (wasSilent) context_.Tx.OpenSndTx(0);
  int32_t mask = 0;
  if (AF1Check->isChecked()) mask |= Af1Bit;
  if (AF2Check->isChecked()) mask |= Af2Bit;
  if (AF3Check->isChecked()) mask |= Af3Bit;
  if (MikeCheck->isChecked()) mask |= MikeBit;
  OscMask = mask;
  if (OscMask != 0) Remix();
  // The play length is capped at the one-second buffer, so the whole second loops.
  if (wasSilent) context_.Tx.PlaySndTx(2000);
  if (OscMask == 0) context_.Tx.CloseSndTx();
  return OscMask;
}

void MainDlg::OnHScroll() {
  // Whichever trackbar moved, speed and spacing are taken first.
  Keyer.SpeedStep(SpeedSlider->value());
  Keyer.SpacingStep(SpacingSlider->value());
  const int32_t frequency = AF1Slider->value();
  if (frequency != context_.Af1Frequency) {
    context_.Af1Frequency = frequency;
    // The keyed sidetone takes it at its next character.
    Keyer.SetTone(frequency);
    if (context_.Station.OperatingState == StationState::Transmitting) {
      // The generator's loop keeps its tone until the transmission ends (WM_TX_DONE).
      context_.Station.ToneChangePending = 1;
    } else {
      context_.Tx.FillOscillator(1, frequency);
      Remix();
    }
  }
  AF1Label->setText(QString::asprintf("%d", context_.Af1Frequency));
}

void MainDlg::OnChangeAf2() { ApplyField(AF2Spin, 2); }
void MainDlg::OnChangeAf3() { ApplyField(AF3Spin, 3); }

void MainDlg::ApplyField(UpDown* spin, int32_t oscillator) {
  // The texts written during initialisation are not the user's.
  if (ControlsReady == 0) return;
  const UpDown::Position position = spin->GetPos();
  if (position.invalid) return;
  if (spin->Lower() <= position.value && position.value <= spin->Upper()) {
    context_.Tx.FillOscillator(oscillator, position.value);
    Remix();
  }
}

bool MainDlg::CheckMenuItem(int id, bool check) {
  const bool previous = menuChecks_[id];
  menuChecks_[id] = check;
  menuItems_.at(id)->setChecked(check);
  return previous;
}

void MainDlg::OnOptionSinus() {
  const bool previous = CheckMenuItem(ID_OPTION_SINUS, !context_.Tx.Sinus());
  context_.Tx.SetSinus(!previous);
  if (context_.Station.OperatingState == StationState::Transmitting)
    context_.Station.ToneChangePending = 1;
}

void MainDlg::OnOptionSpeaker() {
  const bool previous = CheckMenuItem(ID_OPTION_SPEAKER, SpeakerChecked == 0);
  SpeakerChecked = previous ? 0 : 1;
  context_.Station.UseSpeaker = SpeakerChecked;
}

void MainDlg::OnOptionIgnoreSpaces() {
  const bool previous = CheckMenuItem(ID_OPTION_IGNORE_SPACES, IgnoreSpacesChecked == 0);
  IgnoreSpacesChecked = previous ? 0 : 1;
  context_.Station.IgnoreSpaces = IgnoreSpacesChecked;
}

void MainDlg::OnCheckMike() {
  if (MikeCheck->isChecked()) {
    if (Rx.OpenSndRx(this)) {
      Rx.StartSndRx();
    } else {
      context_.Ask.MessageBox(MikeFailure, AppTitle, MB_OK);
    }
  } else if (!Receiving()) {
    // A reception shares the capture and keeps it until its own Stop.
    Rx.CloseSndRx();
  }
  UpdateOscMask();
}

void MainDlg::OnWimData(WaveIn& device, WaveHdr& header) {
  Rx.OnWimData(device, header, [this] { States.Stop(); });
}

}  // namespace zudorave
