#include "morse/morse_keyer.h"

namespace zudorave {

MorseKeyer::MorseKeyer(StationValues& station, WaveOut& keyingDevice, PeriodicTimer& timer)
    : station_(station), timer_(timer), keyTx_(keyingDevice) {
  FillMorseDecodeMap(station_.DecodeMap);
}

MorseKeyer::~MorseKeyer() { StopElementTimer(); }

int32_t MorseKeyer::DotFromWpm(int32_t wpm) {
  // The trackbar never gives less than 5; anything below 1 would divide by zero.
  return 1200 / (wpm < 1 ? MinSpeedWpm : wpm);
}

bool MorseKeyer::StartElementTimer() {
  if (station_.TimerIdle != 1) return false;
  const int32_t dotMs = station_.DotMs;
  // Without a playback device the timer may still run when the speaker stands in.
  if (!keyTx_.OpenSndTx(3 * dotMs) && station_.UseSpeaker == 0) return false;
  station_.TimerIdle = 0;
  station_.KeyingActive = 1;
  station_.DecodedTextReady = 0;
  timer_.BeginPeriod(TimerResolutionMs);
  station_.ElementTimerId = timer_.SetEvent(
      static_cast<uint32_t>(dotMs), 1,
      [this](TimerId id, uint32_t msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2) {
        ElementTick(id, msg, user, dw1, dw2);
      },
      TimerUser, TIME_PERIODIC);
  return true;
}

void MorseKeyer::StopElementTimer() {
  if (station_.TimerIdle != 0) return;
  station_.KeyingActive = 0;
  station_.TimerIdle = 1;
  // Returns once the timer's thread is out of the tick.
  timer_.KillEvent(station_.ElementTimerId);
  timer_.EndPeriod(TimerResolutionMs);
  keyTx_.StopSndTx();
  keyTx_.CloseSndTx();
}

void MorseKeyer::ElementTick(TimerId, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  if (station_.ElementRunFlag == 0) return;
  if (station_.ElementCountdown.fetch_sub(1) - 1 == 0) {
    station_.ElementCountdown = 2;
    station_.ElementRunFlag = 0;
  }
}

void MorseKeyer::SpeedStep(int32_t wpm) {
  station_.RequestedDotMs = DotFromWpm(wpm);
  if (station_.RequestedDotMs == station_.DotMs) return;
  if (station_.TimerIdle != 0) {
    station_.SpeedChangePending = 0;
    station_.DotMs = station_.RequestedDotMs.load();
  } else {
    // The running timer keeps its period; a keying engine applies the change.
    station_.SpeedChangePending = 1;
  }
}

void MorseKeyer::SpacingStep(int32_t position) {
  station_.ExtraSpacing = position;
  if (position != station_.SpacingBase && position > station_.SpacingThreshold) {
    station_.SpacingFlag = 1;
  }
}

void MorseKeyer::SetPaddle(int32_t input) {
  // A held key repeats its input with every auto-repeat.
  if (input == station_.LastPaddleInput) return;
  station_.LastPaddleInput = input;
  // A press of the other paddle while one is down is latched, not taken over.
  if (station_.PaddleState == NoPaddle) {
    if (input == LeftPaddle || input == RightPaddle) station_.PaddleState = input;
  } else if (station_.PaddleState == LeftPaddle && input == RightPaddle) {
    station_.RightPaddleLatch = 1;
  } else if (station_.PaddleState == RightPaddle && input == LeftPaddle) {
    station_.LeftPaddleLatch = 1;
  }
}

}  // namespace zudorave
