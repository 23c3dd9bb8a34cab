// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operating states' transitions as data. A row is a state, a command, the condition the
// command's effects wait on (the element timer starting, the capture opening, or none), the
// state it leads to and its effects in order. Effects belong to the row: the end of a
// transmission does not give Manual back, the progress thread's end does. A command with no
// row in a state does nothing there. The station controller carries the effects out.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "morse/operating_state.h"

namespace zudorave {

enum class StationCommand : uint8_t {
  Transmit,
  Stop,
  Manual,
  Receive,
  TextGrew,         // the text box's text is longer than when it was last taken
  TextEdited,       // ... or as long, or shorter
  Loop,             // the Loop box was clicked
  TxDone,           // WM_TX_DONE: a transmission has ended
  KeyingCancelled,  // the keying dialog's Cancel
  ProgressEnded,    // the progress thread saw the state leave Transmitting
  Quit,             // the window may close (asked first where AsksBeforeQuitting)
};

inline constexpr StationCommand AllStationCommands[] = {
    StationCommand::Transmit,      StationCommand::Stop,     StationCommand::Manual,
    StationCommand::Receive,       StationCommand::TextGrew, StationCommand::TextEdited,
    StationCommand::Loop,          StationCommand::TxDone,   StationCommand::KeyingCancelled,
    StationCommand::ProgressEnded, StationCommand::Quit,
};

// The station controls whose enabling rows change; the window knows them by id.
enum class StationControl : uint8_t { Stop, Transmit, Manual, Receive, Spacing };

struct Enabling {
  uint8_t on = 0;  // bits 1 << StationControl
  uint8_t off = 0;
  constexpr bool operator==(const Enabling&) const = default;
};

enum class StationEffect : uint8_t {
  ClearTransmitText,  // TransmitText <- empty
  ResetKeyedIndex,    // KeyedCharIndex <- 0
  TakeWholeText,      // TransmitText <- the text box's text
  TakeTypedText,      // TransmitText <- what the text box gained (one typed character: its last
                      // character), TypedLength <- its length, KeyedCharIndex <- where that starts
  AppendTypedText,    // TypedLength <- the length, what the box gained appended to TransmitText
  NoteShorterText,    // TypedLength <- n; SendPosition <- 0 when it lies past the end
  StartElementTimer,  // the condition: the rest of the row only when it starts
  StopElementTimer,
  OpenCapture,  // the condition: the rest of the row only when it opens
  StartCapture,
  CloseCapture,  // the stop request noted, the capture closed
  ReleaseMike,   // the Mike box, which shares the capture, is told it closed
  EnterState,    // OperatingState <- the row's target
  Enable,        // the row's enabling
  StartProgressThread,
  RunKeyingDialog,    // modal, with a monitor thread at the row's priority
  StoreLoopFlag,      // LoopFlag <- the Loop box's check
  RefreshMenu,        // the File and Config items for the state
  ApplyHeldBackTone,  // the generator takes an AF1 or Sinus change held back while sending
  RunStop,            // the Stop command runs (its row in the state it finds)
  RepeatCommand,      // the same command runs again, in the state the row left
};

enum class Condition : uint8_t { None, TimerStarts, CaptureOpens };

struct Transition {
  StationState to;
  std::span<const StationEffect> effects;
  Enabling enabling;
  int monitorPriority;  // for RunKeyingDialog
};

// The row for a command in a state, with the condition's outcome; none when the command does
// nothing there. With the condition failed the state stays where it was and the effects stop
// after the condition's own (what came before it has happened all the same).
std::optional<Transition> Next(StationState from, StationCommand command, bool conditionHeld);

// Whether quitting asks first: while sending, receiving, or resting in Held.
bool AsksBeforeQuitting(StationState state);

// The controls an enabling turns on (or off).
constexpr bool Has(uint8_t bits, StationControl control) {
  return (bits & (1u << static_cast<unsigned>(control))) != 0;
}

}  // namespace zudorave
