// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's program-wide values in one place, which the main window, the keyer and the
// worker threads reach by reference. Each says which thread writes it and which read it:
//   ui        the user-interface thread (the window, the keyer's own calls)
//   timer     the element timer's thread (the keyer's tick, the send planner)
//   clock     the keying output's audio thread, or the timer's thread when there is no output:
//             the run's sample clock (key sequencer, iambic keyer), only while a run goes
//   decoder   the keyer's decoding thread, only while a run goes
//   progress, monitor   the window's two worker threads
// A run starts and ends on ui (StartElementTimer, StopElementTimer); the threads of a run start
// after the first and are joined in the second, so what ui writes before a run starts every
// thread of the run sees. A value written by one thread and read by another is atomic, texts
// are behind a lock; a value with two writers says how they hand it over.
#include <atomic>
#include <cstdint>

#include "morse/guarded_text.h"
#include "morse/morse_tables.h"
#include "morse/operating_state.h"
#include "morse/paddles.h"
#include "platform/periodic_timer.h"

namespace zudorave {

inline constexpr int32_t MinSpeedWpm = 5;
inline constexpr int32_t MaxSpeedWpm = 25;
inline constexpr int32_t InitialSpeedWpm = 7;
inline constexpr int32_t MaxExtraSpacing = 1000;
inline constexpr int32_t InitialDotMs = 1200 / InitialSpeedWpm;  // 171

struct StationValues {
  // --- Speed and spacing, in the order the program sets them up.
  // Writer ui (the spacing trackbar); readers clock.
  std::atomic<int32_t> ExtraSpacing{0};
  // The element timer's dot length. Writer ui only: at a speed change while no run goes, and
  // at a run's end when a speed is pending. Readers ui, clock.
  std::atomic<int32_t> DotMs{InitialDotMs};
  // A speed asked for while a run goes is pending: ui writes RequestedDotMs, then raises
  // SpeedChangePending; the clock, seeing the flag, keys at RequestedDotMs from its next
  // character or element. Neither is written but by ui, which makes the pending speed DotMs
  // once the run is over.
  std::atomic<int32_t> RequestedDotMs{DotMs.load()};
  std::atomic<uint8_t> SpeedChangePending{0};
  // Constants a spacing change is compared with.
  const int32_t SpacingThreshold = 10;
  const int32_t SpacingBase = SpacingThreshold;
  // Writer ui; read by nothing (a hook for a receive engine).
  uint8_t SpacingFlag = 1;

  // --- Texts.
  // The text to send. Writer ui (the commands and the typed text); readers timer.
  GuardedText TransmitText;
  // Filled once by the keyer's construction on ui, before any run; read by decoder.
  MorseDecodeMap DecodeMap{17};
  // Writers decoder (appends) and ui (the keying dialog's Clear empties it), under its lock;
  // readers monitor.
  GuardedText DecodedText;
  // Raised by decoder after it appended; taken (exchanged for 0) by monitor before it reads
  // the text, and cleared by ui as a run starts, before the decoder does.
  std::atomic<uint8_t> DecodedTextReady{0};

  // --- The element timer.
  // ui only.
  int32_t TimerIdle = 1;
  uint8_t KeyingActive = 1;  // read by nothing
  TimerId ElementTimerId = 0;
  // timer only (the tick counts them down; nothing here sets the flag).
  std::atomic<uint8_t> ElementRunFlag{0};
  std::atomic<int32_t> ElementCountdown{2};

  // --- The paddles. Writers ui (SetPaddle) and clock (the iambic keyer hands the state back
  // and takes the latches): every change is a compare-exchange on one word (paddles.h).
  SharedPaddles Paddles;

  // --- What the station does, and where sending has got.
  // Writer ui (the window's commands; an engine that rests in Held would write it there too);
  // readers every thread.
  std::atomic<StationState> OperatingState{StationState::Idle};
  // The character being sent, as an index into the text box. Writers ui, where a transmission
  // starts, before it starts the element timer, and clock, as each character of the text
  // starts; a run that does not send never moves it, so the two do not overlap. Readers
  // progress, ui (the caret, and the planner as the run starts).
  std::atomic<int32_t> KeyedCharIndex{0};
  // ui only.
  int32_t TypedLength = 0;
  // ui only (the planner reads it as a run starts): where in the text box TransmitText starts
  // when it holds what was typed or pasted into an idle station; -1 when it is the box's text.
  int32_t TypedRunStart = -1;
  // Where in TransmitText the character keyed now stands. Writers clock (as each character
  // starts) and ui, which pulls it back to 0 by compare-exchange when the text is cut short
  // before it, so a position the clock set meanwhile is not lost. Reader ui.
  std::atomic<int32_t> SendPosition{0};
  // Writer ui (the Loop box); reader timer.
  std::atomic<int32_t> LoopFlag{0};

  // --- Settings of the Option menu, and a tone change held back while transmitting.
  // ui only (read as a run starts).
  uint8_t UseSpeaker = 0;
  // Writer ui; reader timer.
  std::atomic<uint8_t> IgnoreSpaces{0};
  // ui only: an AF1 or Sinus change the generator takes when the transmission ends.
  uint8_t ToneChangePending = 0;
};

}  // namespace zudorave
