// SPDX-License-Identifier: GPL-3.0-or-later
#include "morse/morse_keyer.h"

#include "morse/key_sequencer.h"
#include "platform/audio_format.h"
#include "platform/worker.h"

namespace zudorave {

MorseKeyer::MorseKeyer(StationValues& station, RenderOut& keyingOut, PeriodicTimer& timer,
                       UiThread& ui, int32_t toneHz)
    : station_(station),
      timer_(timer),
      ui_(ui),
      toneHz_(toneHz),
      engine_(station),
      keyTx_(keyingOut, engine_),
      unheard_(SampleRate) {
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
  // Nothing of the engine runs: the output is closed and the timer idle.
  engine_.Begin(toneHz_);
  const bool heard = keyTx_.OpenSndTx();
  // Without a playback device the timer may still run when the speaker stands in.
  if (!heard && station_.UseSpeaker == 0) return false;
  unheardSamples_ = heard ? 0
                          : static_cast<uint32_t>(std::min<uint64_t>(
                                MsToSamples(static_cast<uint64_t>(dotMs)), unheard_.size()));
  station_.TimerIdle = 0;
  station_.KeyingActive = 1;
  station_.DecodedTextReady = 0;
  lostPosted_ = false;
  ++run_;
  endDelivered_ = false;
  decoding_ = std::jthread([this](std::stop_token stop) {
    while (SleepUnlessStopped(DecodePoll, stop)) engine_.Decode();
  });
  timer_.BeginPeriod(TimerResolutionMs);
  station_.ElementTimerId = timer_.SetEvent(
      static_cast<uint32_t>(dotMs), 1,
      [this](TimerId id, uint32_t msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2) {
        ElementTick(id, msg, user, dw1, dw2);
      },
      TimerUser, TIME_PERIODIC);
  if (station_.ElementTimerId == 0) {
    // A run without ticks would never end.
    timer_.EndPeriod(TimerResolutionMs);
    StopDecoding();
    keyTx_.CloseSndTx();
    station_.KeyingActive = 0;
    station_.TimerIdle = 1;
    return false;
  }
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
  StopDecoding();
  if (station_.SpeedChangePending.exchange(0) != 0) station_.DotMs = station_.RequestedDotMs.load();
  // The second Stop ends a transmission before its text is out; it has ended all the same.
  if (station_.OperatingState == StationState::StoppingTransmit) PostEnd(run_);
}

void MorseKeyer::StopDecoding() {
  if (!decoding_.joinable()) return;
  decoding_.request_stop();
  decoding_.join();
  // What the last callbacks published; nothing publishes any more.
  engine_.Decode();
}

void MorseKeyer::ElementTick(TimerId, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  if (station_.ElementRunFlag != 0 && station_.ElementCountdown.fetch_sub(1) - 1 == 0) {
    station_.ElementCountdown = 2;
    station_.ElementRunFlag = 0;
  }
  // No audio thread runs without an output: the tick keys one period in its place.
  if (const uint32_t samples = unheardSamples_; samples > 0) {
    engine_.Render(std::span(unheard_).first(samples));
  }
  if (keyTx_.DeviceLost()) {
    // Nothing renders: a transmission would never end, so it ends here; a manual run goes on
    // and is heard again once the output is back.
    if (!lostPosted_.exchange(true)) PostLost(run_);
    if (Sends(station_.OperatingState)) return;
  } else {
    lostPosted_ = false;
  }
  if (engine_.Tick()) PostEnd(run_);
}

void MorseKeyer::PostLost(uint64_t run) {
  ui_.Post([this, alive = std::weak_ptr(alive_), run] {
    if (alive.expired() || run != run_ || station_.TimerIdle != 0) return;
    const bool sending = Sends(station_.OperatingState);
    if (sending) {
      if (endDelivered_) return;
      endDelivered_ = true;
      StopElementTimer();
    }
    if (onLost_) onLost_(sending);
    if (sending && onEnd_) onEnd_();
  });
}

void MorseKeyer::PostEnd(uint64_t run) {
  ui_.Post([this, alive = std::weak_ptr(alive_), run] {
    // On the user-interface thread, where the keyer is destroyed: it cannot go meanwhile.
    if (alive.expired() || run != run_ || endDelivered_) return;
    if (!Sends(station_.OperatingState)) return;
    endDelivered_ = true;
    StopElementTimer();
    if (onEnd_) onEnd_();
  });
}

void MorseKeyer::SetTone(int32_t hz) {
  toneHz_ = hz;
  engine_.Retune(hz);
}

void MorseKeyer::SpeedStep(int32_t wpm) {
  station_.RequestedDotMs = DotFromWpm(wpm);
  if (station_.RequestedDotMs == station_.DotMs) return;
  if (station_.TimerIdle != 0) {
    station_.SpeedChangePending = 0;
    station_.DotMs = station_.RequestedDotMs.load();
  } else {
    // The running timer keeps its period; the engine applies the change at the next
    // character or element.
    station_.SpeedChangePending = 1;
  }
}

void MorseKeyer::SpacingStep(int32_t position) {
  station_.ExtraSpacing = position;
  if (position != station_.SpacingBase && position > station_.SpacingThreshold) {
    station_.SpacingFlag = 1;
  }
}

void MorseKeyer::SetPaddle(int32_t input) { station_.Paddles.Input(input); }

}  // namespace zudorave
