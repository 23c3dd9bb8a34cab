// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tone controls' decisions, without widgets: which sources play in which mode, AF1, AF2
// and AF3, the Sinus option and the microphone, and when the generator's output opens and
// closes. An AF1 or Sinus change made while the station transmits reaches the generator's loop
// only when the transmission ends; the keyed sidetone takes AF1 at its next character.
// Threads: user-interface thread only.
#include <cstdint>

#include "capture/snd_rx.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/wave_in.h"
#include "synth/mix_mode.h"
#include "synth/snd_tx.h"

namespace zudorave {

class ToneController {
 public:
  // All of these outlive the controller; captureTarget gets the buffers the microphone
  // records. af1Hz is AF1 at the start, the frequency the generator was made with.
  ToneController(SndTx& tx, MorseKeyer& keyer, SndRx& rx, WimDataTarget& captureTarget,
                 StationValues& station, int32_t af1Hz);

  // The sources the boxes give (OscMask bits). The first opens the output, renders and starts
  // the loop; further changes only render; without any the output closes. Returns the mask.
  int32_t SetSources(int32_t mask);
  // Renders the mode with the sources as they are, heard or not.
  void SetMode(MixMode mode);
  // AF1's trackbar; false when it did not move.
  bool SetAf1(int32_t hz);
  // AF2 or AF3 (oscillator 2 or 3) from its field: taken only inside lower to upper.
  void SetField(int32_t oscillator, int32_t hz, int32_t lower, int32_t upper);
  void SetSinus(bool on);
  // The Mike box: opens the capture, or closes it unless a reception shares it; false when
  // it did not open. The box's source follows through SetSources either way.
  bool SetMike(bool on);
  // A transmission ended: the generator takes an AF1 or Sinus change held back meanwhile.
  void ApplyHeldBackTone();

  int32_t Af1() const { return af1Hz_; }

 private:
  bool Transmitting() const { return station_.OperatingState == StationState::Transmitting; }
  void Remix() { tx_.Mix(mode_, sources_); }

  SndTx& tx_;
  MorseKeyer& keyer_;
  SndRx& rx_;
  WimDataTarget& captureTarget_;
  StationValues& station_;
  int32_t af1Hz_;
  int32_t sources_ = 0;  // OscMask
  MixMode mode_ = MixMode::Sum;
};

}  // namespace zudorave
