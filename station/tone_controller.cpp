// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/tone_controller.h"

#include <utility>

namespace zudorave {

ToneController::ToneController(SndTx& tx, MorseKeyer& keyer, SndRx& rx,
                               WimDataTarget& captureTarget, StationValues& station, int32_t af1Hz)
    : tx_(tx),
      keyer_(keyer),
      rx_(rx),
      captureTarget_(captureTarget),
      station_(station),
      af1Hz_(af1Hz) {}

int32_t ToneController::SetSources(int32_t mask) {
  const bool wasSilent = sources_ == 0;
  if (wasSilent) tx_.OpenSndTx(0);
  sources_ = mask;
  if (sources_ != 0) Remix();
  // The play length is capped at the one-second buffer, so the whole second loops.
  if (wasSilent) tx_.PlaySndTx(2000);
  if (sources_ == 0) tx_.CloseSndTx();
  return sources_;
}

void ToneController::SetMode(MixMode mode) {
  mode_ = mode;
  Remix();
}

bool ToneController::SetAf1(int32_t hz) {
  if (hz == af1Hz_) return false;
  af1Hz_ = hz;
  keyer_.SetTone(hz);
  if (Transmitting()) {
    // The generator's loop keeps its tone until the transmission ends (WM_TX_DONE).
    station_.ToneChangePending = 1;
  } else {
    tx_.FillOscillator(1, hz);
    Remix();
  }
  return true;
}

void ToneController::SetField(int32_t oscillator, int32_t hz, int32_t lower, int32_t upper) {
  if (hz < lower || hz > upper) return;
  tx_.FillOscillator(oscillator, hz);
  Remix();
}

void ToneController::SetSinus(bool on) {
  tx_.SetSinus(on);
  if (Transmitting()) station_.ToneChangePending = 1;
}

bool ToneController::SetMike(bool on) {
  if (on) {
    if (!rx_.OpenSndRx(&captureTarget_)) return false;
    rx_.StartSndRx();
  } else if (!Receives(station_.OperatingState)) {
    // A reception shares the capture and keeps it until its own Stop.
    rx_.CloseSndRx();
  }
  return true;
}

void ToneController::ApplyHeldBackTone() {
  if (std::exchange(station_.ToneChangePending, 0) == 0) return;
  tx_.FillOscillator(1, af1Hz_);
  Remix();
}

}  // namespace zudorave
