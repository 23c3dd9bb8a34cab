#pragma once
// The Morse keyer: fills the decode map, sets the dot length and spacing from their trackbars,
// starts and stops the element timer with the keying side's playback, and keeps the paddle
// state. Everything runs on the user-interface thread except ElementTick, which runs on the
// timer's thread.
#include <cstdint>

#include "morse/station_values.h"
#include "platform/periodic_timer.h"
#include "platform/wave_out.h"
#include "synth/keying_tx.h"

namespace zudorave {

class MorseKeyer {
 public:
  static constexpr uint32_t TimerResolutionMs = 2;
  static constexpr uintptr_t TimerUser = 200;

  // station, keyingDevice and timer outlive the keyer.
  MorseKeyer(StationValues& station, WaveOut& keyingDevice, PeriodicTimer& timer);
  // Leaves the decode map alone; stops a running element timer, so no tick outlives the keyer.
  virtual ~MorseKeyer();
  MorseKeyer(const MorseKeyer&) = delete;
  MorseKeyer& operator=(const MorseKeyer&) = delete;

  // The dot length in ms of a speed in words per minute.
  static int32_t DotFromWpm(int32_t wpm);

  // Opens the keying playback for three dots and starts the timer at one dot; false, changing
  // nothing, when the timer runs already or the playback cannot open without "Use Speaker".
  bool StartElementTimer();
  // Does nothing while the timer is idle.
  void StopElementTimer();
  // The timer's callback: counts a run of two ticks down once something set ElementRunFlag.
  void ElementTick(TimerId id, uint32_t msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2);

  // The speed trackbar's position in words per minute, and the spacing trackbar's.
  void SpeedStep(int32_t wpm);
  void SpacingStep(int32_t position);

  // 1 left paddle, 0 right paddle, 2 released. A repeat of the last input is ignored.
  void SetPaddle(int32_t input);

  const KeyingTx& KeyTx() const { return keyTx_; }

 private:
  StationValues& station_;
  PeriodicTimer& timer_;
  KeyingTx keyTx_;
};

}  // namespace zudorave
