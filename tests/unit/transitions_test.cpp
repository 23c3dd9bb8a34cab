// SPDX-License-Identifier: GPL-3.0-or-later
// The whole transition table, state by command by the condition's outcome, without a window.
#include "station/transitions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/station_names.h"

namespace zudorave::testing {
namespace {

const char* Name(StationCommand command) {
  constexpr const char* names[] = {"Transmit",        "Stop",          "Manual", "Receive",
                                   "TextGrew",        "TextEdited",    "Loop",   "TxDone",
                                   "KeyingCancelled", "ProgressEnded", "Quit"};
  return names[static_cast<std::size_t>(command)];
}

std::string Name(StationEffect effect, const Transition& row) {
  constexpr const char* names[] = {
      "ClearText",    "ZeroIndex", "WholeText",   "Typed",        "AppendTyped",  "NoteShorter",
      "StartTimer",   "StopTimer", "OpenCapture", "StartCapture", "CloseCapture", "ReleaseMike",
      "EnterState",   "Enable",    "Progress",    "KeyingDialog", "StoreLoop",    "RefreshMenu",
      "HeldBackTone", "RunStop",   "Repeat"};
  std::string name = names[static_cast<std::size_t>(effect)];
  if (effect == StationEffect::Enable) {
    constexpr const char* controls[] = {"Stop", "Transmit", "Manual", "Receive", "Spacing"};
    std::string on, off;
    for (std::size_t c = 0; c < std::size(controls); ++c) {
      const auto control = static_cast<StationControl>(c);
      if (Has(row.enabling.on, control)) on += std::string(" +") + controls[c];
      if (Has(row.enabling.off, control)) off += std::string(" -") + controls[c];
    }
    name += "(" + (on + off).substr(1) + ")";
  }
  if (effect == StationEffect::RunKeyingDialog) {
    name += "(" + std::to_string(row.monitorPriority) + ")";
  }
  return name;
}

std::string Describe(const Transition& row) {
  std::string text = std::string(zudorave::Name(row.to)) + ":";
  for (const StationEffect effect : row.effects) text += " " + Name(effect, row);
  return text;
}

// "From Command -> To: effects", and "/ failed -> ..." where the condition's outcome matters.
std::set<std::string> ActualTable() {
  std::set<std::string> table;
  for (const StationState from : AllStationStates) {
    for (const StationCommand command : AllStationCommands) {
      const std::optional<Transition> held = Next(from, command, true);
      const std::optional<Transition> failed = Next(from, command, false);
      if (!held) continue;
      std::string line =
          std::string(zudorave::Name(from)) + " " + Name(command) + " -> " + Describe(*held);
      if (Describe(*failed) != Describe(*held)) line += " / failed -> " + Describe(*failed);
      table.insert(line);
    }
  }
  return table;
}

// As the station is meant to move. A line for "*" holds in every state without a line of its
// own, and "*" as the target there means the state stays.
constexpr const char* A = "Enable(+Stop -Transmit -Manual -Receive)";
constexpr const char* B = "Enable(+Transmit +Manual +Receive -Stop)";
constexpr const char* ManualEnds = "Enable(+Transmit +Manual +Spacing -Stop)";
const std::string Expected[] = {
    std::string("Idle Transmit -> Transmitting: ClearText ZeroIndex WholeText StartTimer ") + A +
        " EnterState Progress / failed -> Idle: ClearText ZeroIndex WholeText StartTimer",
    std::string("Held Transmit -> Transmitting: ClearText WholeText StartTimer ") + A +
        " EnterState Progress / failed -> Held: ClearText WholeText StartTimer",
    // Only what the box gained, and the state set before the timer starts (left when it fails).
    std::string("Idle TextGrew -> Transmitting: Typed EnterState StartTimer ") + A +
        " Progress / failed -> Idle: Typed EnterState StartTimer",
    std::string("Held TextGrew -> Transmitting: WholeText StartTimer ") + A +
        " EnterState Progress / failed -> Held: WholeText StartTimer",
    "Transmitting TextGrew -> Transmitting: AppendTyped",
    std::string("Transmitting Stop -> StoppingTransmit: ") + B + " EnterState",
    "StoppingTransmit Stop -> StoppingTransmit: StopTimer",
    "* TxDone -> Idle: Enable(+Transmit +Receive -Stop) EnterState HeldBackTone",
    std::string("Idle Receive -> Receiving: OpenCapture EnterState ") + A +
        " StartCapture / failed -> Idle: OpenCapture",
    std::string("Held Receive -> ReceivingFromHeld: OpenCapture EnterState ") + A +
        " StartCapture / failed -> Held: OpenCapture",
    std::string("Receiving Stop -> Idle: EnterState CloseCapture ") + B + " ReleaseMike",
    std::string("ReceivingFromHeld Stop -> Held: EnterState CloseCapture ") + B + " ReleaseMike",
    "Receiving TextGrew -> Idle: RunStop Repeat",
    "Receiving TextEdited -> Idle: RunStop Repeat",
    "ReceivingFromHeld TextGrew -> Held: RunStop Repeat",
    "ReceivingFromHeld TextEdited -> Held: RunStop Repeat",
    "Idle Manual -> ManualKeying: StartTimer Enable(-Transmit -Manual -Spacing) EnterState "
    "KeyingDialog(-1) / failed -> Idle: StartTimer",
    "Held Manual -> ManualFromHeld: StartTimer Enable(-Transmit -Manual -Spacing) EnterState "
    "KeyingDialog(0) / failed -> Held: StartTimer",
    std::string("ManualKeying Stop -> Idle: StopTimer EnterState ") + ManualEnds,
    std::string("ManualFromHeld Stop -> Held: StopTimer EnterState ") + ManualEnds,
    std::string("ManualKeying KeyingCancelled -> Idle: StopTimer EnterState ") + ManualEnds,
    std::string("ManualFromHeld KeyingCancelled -> Held: StopTimer EnterState ") + ManualEnds,
    "* TextEdited -> *: WholeText NoteShorter",
    "* Loop -> *: StoreLoop",
    std::string("* ProgressEnded -> *: ") + B + " RefreshMenu",
    "Receiving Quit -> Idle: RunStop",
    "ReceivingFromHeld Quit -> Held: RunStop",
    "* Quit -> *: StopTimer",
};

std::set<std::string> ExpectedTable() {
  std::set<std::string> table;
  std::set<std::string> own;  // "From Command" of the lines for one state
  for (const std::string& line : Expected) {
    if (line[0] != '*') {
      table.insert(line);
      own.insert(line.substr(0, line.find(" -> ")));
    }
  }
  for (const std::string& line : Expected) {
    if (line[0] != '*') continue;
    for (const StationState state : AllStationStates) {
      const std::string name = zudorave::Name(state);
      std::string expanded = name + line.substr(1);
      if (own.count(expanded.substr(0, expanded.find(" -> "))) != 0) continue;
      if (const auto at = expanded.find("-> *:"); at != std::string::npos) {
        expanded.replace(at, 4, "-> " + name);
      }
      table.insert(expanded);
    }
  }
  return table;
}

TEST(Transitions, EveryStateCommandAndOutcome) {
  const std::set<std::string> actual = ActualTable();
  const std::set<std::string> expected = ExpectedTable();
  for (const std::string& line : expected) EXPECT_EQ(actual.count(line), 1u) << "missing: " << line;
  for (const std::string& line : actual) EXPECT_EQ(expected.count(line), 1u) << "extra: " << line;
}

TEST(Transitions, QuittingAsksWhileSendingReceivingOrHeld) {
  std::string asks;
  for (const StationState state : AllStationStates) {
    if (AsksBeforeQuitting(state)) asks += std::string(zudorave::Name(state)) + " ";
  }
  EXPECT_EQ(asks, "Transmitting Receiving ReceivingFromHeld Held ");
}

}  // namespace
}  // namespace zudorave::testing
