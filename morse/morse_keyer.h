// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Morse keyer: fills the decode map, sets the dot length and spacing from their trackbars,
// keeps the paddle state, and runs the element timer with the keying engine behind it. A run
// starts with StartElementTimer and ends with StopElementTimer; what it does follows the
// station's OperatingState: while Transmitting (and StoppingTransmit) it sends TransmitText,
// in ManualKeying and ManualFromHeld it keys the paddles and decodes them.
//
// Threads: everything on the user-interface thread, except ElementTick, which runs on the
// timer's thread. During a run the engine also renders on the keying output's audio thread and
// decodes on a thread of the keyer's own; both are stopped before StopElementTimer returns.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "morse/keying_engine.h"
#include "morse/station_values.h"
#include "platform/periodic_timer.h"
#include "platform/render_out.h"
#include "platform/ui_thread.h"
#include "synth/keying_tx.h"

namespace zudorave {

class MorseKeyer {
 public:
  static constexpr uint32_t TimerResolutionMs = 2;
  static constexpr uintptr_t TimerUser = 200;
  // How often decoded text is looked for: well inside the keying dialog's 10 ms poll.
  static constexpr std::chrono::milliseconds DecodePoll{2};

  // station, keyingOut, timer and ui outlive the keyer. toneHz is the keyed tone's frequency
  // (AF1's) at the start.
  MorseKeyer(StationValues& station, RenderOut& keyingOut, PeriodicTimer& timer, UiThread& ui,
             int32_t toneHz);
  // Leaves the decode map alone; stops a running element timer, so no tick outlives the keyer.
  virtual ~MorseKeyer();
  MorseKeyer(const MorseKeyer&) = delete;
  MorseKeyer& operator=(const MorseKeyer&) = delete;

  // The dot length in ms of a speed in words per minute.
  static int32_t DotFromWpm(int32_t wpm);

  // What to do, on the user-interface thread, once a transmission has ended: the keyer has
  // stopped the element timer just before. Comes once per run, and only while the station is
  // still Transmitting or StoppingTransmit in that run; never after the keyer is gone. A
  // transmission also ends when its output goes away (the sound server was lost).
  void OnTransmissionEnd(std::function<void()> handler) { onEnd_ = std::move(handler); }
  // What to say, on the user-interface thread, when the output of a run goes away: once per
  // loss, with true when that ended a transmission (the end handler follows), false in a manual
  // run, which goes on.
  void OnOutputLost(std::function<void(bool transmissionEnded)> handler) {
    onLost_ = std::move(handler);
  }

  // Opens the keying output playing the engine and starts the timer at one dot; false,
  // changing nothing, when the timer runs already, cannot start, or the output cannot open
  // without "Use Speaker" (without an output the timer's ticks stand in for the audio clock).
  bool StartElementTimer();
  // Does nothing while the timer is idle. Silences and closes the output, and a speed change
  // still pending takes effect. A transmission stopped while StoppingTransmit ends as if it had
  // run out: the end handler follows.
  void StopElementTimer();
  // The timer's callback: counts a run of two ticks down once something set ElementRunFlag,
  // and plans the text ahead.
  void ElementTick(TimerId id, uint32_t msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2);

  // AF1 moved: the next run keys at hz, and a run under way from its next character on.
  void SetTone(int32_t hz);

  // The speed trackbar's position in words per minute, and the spacing trackbar's.
  void SpeedStep(int32_t wpm);
  void SpacingStep(int32_t position);

  // 1 left paddle, 0 right paddle, 2 released. A repeat of the last input is ignored.
  void SetPaddle(int32_t input);

  const KeyingTx& KeyTx() const { return keyTx_; }

 private:
  void PostEnd(uint64_t run);
  void PostLost(uint64_t run);
  void StopDecoding();

  StationValues& station_;
  PeriodicTimer& timer_;
  UiThread& ui_;
  int32_t toneHz_;  // user-interface thread only
  KeyingEngine engine_;
  KeyingTx keyTx_;
  std::function<void()> onEnd_;
  // Without an output, each tick renders one period here.
  std::vector<int16_t> unheard_;
  std::atomic<uint32_t> unheardSamples_{0};
  std::atomic<uint64_t> run_{0};
  // Timer's thread: a loss of the output has been posted; cleared once the output is back, and
  // by the user-interface thread as a run starts, before its first tick.
  std::atomic<bool> lostPosted_{false};
  std::function<void(bool)> onLost_;
  bool endDelivered_ = false;  // user-interface thread only
  // Calls posted for the end find out through it whether the keyer is still there.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  std::jthread decoding_;
};

}  // namespace zudorave
