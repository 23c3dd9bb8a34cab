// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tone_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "ui/dialog_template.h"
#include "ui/menu_resource.h"
#include "ui/messages.h"
#include "ui/mode_buttons.h"
#include "ui/template_dialog.h"
#include "ui/up_down.h"

namespace zudorave {

namespace {

constexpr char MikeFailure[] = "OnCheckMike() - OpenSndRx() failed! ";

struct Field {
  int edit;
  int spin;
  int32_t oscillator;
};
constexpr Field Fields[] = {{IDC_AF2_EDIT, IDC_AF2_SPIN, 2}, {IDC_AF3_EDIT, IDC_AF3_SPIN, 3}};

}  // namespace

const ToneControls::Handler ToneControls::Handlers[] = {
    {IDC_AF1, BN_CLICKED, &ToneControls::OnSource},
    {IDC_AF2, BN_CLICKED, &ToneControls::OnSource},
    {IDC_AF3, BN_CLICKED, &ToneControls::OnSource},
    {IDC_MIKE, BN_CLICKED, &ToneControls::OnMike},
    {IDC_LSB, BN_CLICKED, &ToneControls::OnMode},
    {IDC_USB, BN_CLICKED, &ToneControls::OnMode},
    {IDC_DSB, BN_CLICKED, &ToneControls::OnMode},
    {IDC_SUM, BN_CLICKED, &ToneControls::OnMode},
    {IDC_PRODUCT, BN_CLICKED, &ToneControls::OnMode},
    {IDC_AF2_EDIT, EN_CHANGE, &ToneControls::OnField},
    {IDC_AF3_EDIT, EN_CHANGE, &ToneControls::OnField},
    {ID_OPTION_SINUS, BN_CLICKED, &ToneControls::OnSinus},
    {ID_OPTION_SPEAKER, BN_CLICKED, &ToneControls::OnSpeaker},
    {ID_OPTION_IGNORE_SPACES, BN_CLICKED, &ToneControls::OnIgnoreSpaces},
};

ToneControls::ToneControls(ToneController& tone, SndTx& tx, StationValues& station, Prompts& ask)
    : tone_(tone), tx_(tx), station_(station), ask_(ask) {}

void ToneControls::Attach(TemplateDialog& dialog, const std::map<int, QAction*>& menu,
                          int32_t af1Hz) {
  dialog_ = &dialog;
  menu_ = menu;
  af1Slider_ = dialog.ControlAs<QSlider>(IDC_AF1_SLIDER);
  af1Label_ = dialog.ControlAs<QLabel>(IDC_AF1_LABEL);
  mike_ = dialog.ControlAs<QPushButton>(IDC_MIKE);
  {
    // Setting a position is not a user's scroll; the handler must not see it.
    const QSignalBlocker quiet(af1Slider_);
    af1Slider_->setTickInterval(100);
    af1Slider_->setRange(10, 2000);
    af1Slider_->setPageStep((2000 - 10) / 5);
    af1Slider_->setValue(af1Hz);
  }
  ShowAf1();
  auto* af3 = dialog.ControlAs<UpDown>(IDC_AF3_SPIN);
  auto* af2 = dialog.ControlAs<UpDown>(IDC_AF2_SPIN);
  af3->SetRange(300, 18000);
  af2->SetRange(100, 4000);
  af3->SetPos(15000);
  af2->SetPos(2400);
  dialog.ControlAs<QPushButton>(IDC_SUM)->setChecked(true);
  tx_.SetSinus(true);
  speaker_ = false;
  ignoreSpaces_ = true;
  station_.IgnoreSpaces = 1;
  CheckMenuItem(ID_OPTION_SPEAKER, speaker_);
  CheckMenuItem(ID_OPTION_IGNORE_SPACES, ignoreSpaces_);
  CheckMenuItem(ID_OPTION_SINUS, tx_.Sinus());
}

bool ToneControls::OnCommand(int id, uint32_t code) {
  for (const Handler& handler : Handlers) {
    if (handler.id == id && handler.code == code) {
      (this->*handler.run)(id);
      return true;
    }
  }
  return false;
}

void ToneControls::OnScroll() {
  tone_.SetAf1(af1Slider_->value());
  ShowAf1();
}

void ToneControls::ShowAf1() { af1Label_->setText(QString::asprintf("%d", tone_.Af1())); }

void ToneControls::UpdateSources() {
  int32_t mask = 0;
  if (dialog_->ControlAs<QAbstractButton>(IDC_AF1)->isChecked()) mask |= Af1Bit;
  if (dialog_->ControlAs<QAbstractButton>(IDC_AF2)->isChecked()) mask |= Af2Bit;
  if (dialog_->ControlAs<QAbstractButton>(IDC_AF3)->isChecked()) mask |= Af3Bit;
  if (mike_->isChecked()) mask |= MikeBit;
  tone_.SetSources(mask);
}

void ToneControls::OnSource(int /*id*/) { UpdateSources(); }

void ToneControls::OnMike(int /*id*/) {
  if (!tone_.SetMike(mike_->isChecked())) ask_.MessageBox(MikeFailure, AppTitle, MB_OK);
  UpdateSources();
}

void ToneControls::MikeReleased() {
  if (!mike_->isChecked()) return;
  mike_->setChecked(false);
  UpdateSources();
}

void ToneControls::OnMode(int id) {
  for (const auto& [button, mode] : ModeButtons) {
    if (button == id) tone_.SetMode(mode);
  }
}

void ToneControls::OnField(int id) {
  // The texts written during initialisation are not the user's.
  if (!ready_) return;
  for (const Field& field : Fields) {
    if (field.edit != id) continue;
    auto* spin = dialog_->ControlAs<UpDown>(field.spin);
    const UpDown::Position position = spin->GetPos();
    if (!position.invalid) {
      tone_.SetField(field.oscillator, position.value, spin->Lower(), spin->Upper());
    }
  }
}

bool ToneControls::CheckMenuItem(int id, bool check) {
  const bool previous = checks_[id];
  checks_[id] = check;
  menu_.at(id)->setChecked(check);
  return previous;
}

void ToneControls::OnSinus(int /*id*/) {
  const bool previous = CheckMenuItem(ID_OPTION_SINUS, !tx_.Sinus());
  tone_.SetSinus(!previous);
}

void ToneControls::OnSpeaker(int /*id*/) {
  speaker_ = !CheckMenuItem(ID_OPTION_SPEAKER, !speaker_);
  station_.UseSpeaker = speaker_ ? 1 : 0;
}

void ToneControls::OnIgnoreSpaces(int /*id*/) {
  ignoreSpaces_ = !CheckMenuItem(ID_OPTION_IGNORE_SPACES, !ignoreSpaces_);
  station_.IgnoreSpaces = ignoreSpaces_ ? 1 : 0;
}

void ToneControls::UseSpeakerInstead() {
  CheckMenuItem(ID_OPTION_SPEAKER, true);
  speaker_ = true;
  station_.UseSpeaker = 1;
}

}  // namespace zudorave
