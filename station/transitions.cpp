// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/transitions.h"

#include <algorithm>
#include <initializer_list>

#include "platform/worker.h"

namespace zudorave {

namespace {

using C = StationCommand;
using E = StationEffect;
using S = StationState;

constexpr uint8_t Bits(std::initializer_list<StationControl> controls) {
  uint8_t bits = 0;
  for (const StationControl control : controls) {
    bits = static_cast<uint8_t>(bits | 1u << static_cast<unsigned>(control));
  }
  return bits;
}

using Ctl = StationControl;
// Stop offered, the rest not; and the other way round.
constexpr Enabling ButtonsA{Bits({Ctl::Stop}), Bits({Ctl::Transmit, Ctl::Manual, Ctl::Receive})};
constexpr Enabling ButtonsB{Bits({Ctl::Transmit, Ctl::Manual, Ctl::Receive}), Bits({Ctl::Stop})};
// Manual is not given back here: the progress thread does that as it ends.
constexpr Enabling TxDoneButtons{Bits({Ctl::Transmit, Ctl::Receive}), Bits({Ctl::Stop})};
// A manual run leaves Stop and Receive as they were.
constexpr Enabling ManualStarts{0, Bits({Ctl::Spacing, Ctl::Transmit, Ctl::Manual})};
constexpr Enabling ManualEnds{Bits({Ctl::Spacing, Ctl::Transmit, Ctl::Manual}), Bits({Ctl::Stop})};

constexpr std::size_t MaxEffects = 8;

struct Row {
  std::optional<S> from;  // none: in every state
  C command;
  Condition condition;
  std::optional<S> to;  // none: the state stays
  std::array<E, MaxEffects> effects{};
  std::size_t count = 0;
  Enabling enabling{};
  int monitorPriority = ThreadPriorityNormal;
};

constexpr Row MakeRow(std::optional<S> from, C command, Condition condition, std::optional<S> to,
                      std::initializer_list<E> effects, Enabling enabling = {},
                      int monitorPriority = ThreadPriorityNormal) {
  Row row{from, command, condition, to, {}, effects.size(), enabling, monitorPriority};
  std::copy(effects.begin(), effects.end(), row.effects.begin());
  return row;
}

constexpr Condition NoCondition = Condition::None;
constexpr Condition Timer = Condition::TimerStarts;
constexpr Condition Capture = Condition::CaptureOpens;
constexpr std::optional<S> Any = std::nullopt;
constexpr std::optional<S> Stays = std::nullopt;

// Rows for one state come before the rows for every state.
constexpr Row Rows[] = {
    // Transmit: the text is taken whether or not the timer then starts.
    MakeRow(S::Idle, C::Transmit, Timer, S::Transmitting,
            {E::ClearTransmitText, E::ResetKeyedIndex, E::TakeWholeText, E::StartElementTimer,
             E::Enable, E::EnterState, E::StartProgressThread},
            ButtonsA),
    MakeRow(S::Held, C::Transmit, Timer, S::Transmitting,
            {E::ClearTransmitText, E::TakeWholeText, E::StartElementTimer, E::Enable, E::EnterState,
             E::StartProgressThread},
            ButtonsA),

    // Stop. While transmitting the element timer runs on until the transmission ends.
    MakeRow(S::Transmitting, C::Stop, NoCondition, S::StoppingTransmit, {E::Enable, E::EnterState},
            ButtonsB),
    MakeRow(S::StoppingTransmit, C::Stop, NoCondition, Stays, {E::StopElementTimer}),
    MakeRow(S::Receiving, C::Stop, NoCondition, S::Idle,
            {E::EnterState, E::CloseCapture, E::Enable, E::ReleaseMike}, ButtonsB),
    MakeRow(S::ReceivingFromHeld, C::Stop, NoCondition, S::Held,
            {E::EnterState, E::CloseCapture, E::Enable, E::ReleaseMike}, ButtonsB),
    MakeRow(S::ManualKeying, C::Stop, NoCondition, S::Idle,
            {E::StopElementTimer, E::EnterState, E::Enable}, ManualEnds),
    MakeRow(S::ManualFromHeld, C::Stop, NoCondition, S::Held,
            {E::StopElementTimer, E::EnterState, E::Enable}, ManualEnds),

    // Manual: the keying dialog runs modally; the state after it is what its end left.
    MakeRow(S::Idle, C::Manual, Timer, S::ManualKeying,
            {E::StartElementTimer, E::Enable, E::EnterState, E::RunKeyingDialog}, ManualStarts,
            ThreadPriorityBelowNormal),
    MakeRow(S::Held, C::Manual, Timer, S::ManualFromHeld,
            {E::StartElementTimer, E::Enable, E::EnterState, E::RunKeyingDialog}, ManualStarts,
            ThreadPriorityNormal),

    // Receive.
    MakeRow(S::Idle, C::Receive, Capture, S::Receiving,
            {E::OpenCapture, E::EnterState, E::Enable, E::StartCapture}, ButtonsA),
    MakeRow(S::Held, C::Receive, Capture, S::ReceivingFromHeld,
            {E::OpenCapture, E::EnterState, E::Enable, E::StartCapture}, ButtonsA),

    // The text box grew. From Idle only what it gained is sent, and the state is
    // Transmitting before the timer starts (back to Idle when it does not).
    MakeRow(
        S::Idle, C::TextGrew, Timer, S::Transmitting,
        {E::TakeTypedText, E::EnterState, E::StartElementTimer, E::Enable, E::StartProgressThread},
        ButtonsA),
    MakeRow(S::Transmitting, C::TextGrew, NoCondition, Stays, {E::AppendTypedText}),
    MakeRow(
        S::Held, C::TextGrew, Timer, S::Transmitting,
        {E::TakeWholeText, E::StartElementTimer, E::Enable, E::EnterState, E::StartProgressThread},
        ButtonsA),
    // Typing during a reception stops it first, then counts in the state it left.
    MakeRow(S::Receiving, C::TextGrew, NoCondition, S::Idle, {E::RunStop, E::RepeatCommand}),
    MakeRow(S::ReceivingFromHeld, C::TextGrew, NoCondition, S::Held,
            {E::RunStop, E::RepeatCommand}),
    MakeRow(S::Receiving, C::TextEdited, NoCondition, S::Idle, {E::RunStop, E::RepeatCommand}),
    MakeRow(S::ReceivingFromHeld, C::TextEdited, NoCondition, S::Held,
            {E::RunStop, E::RepeatCommand}),
    // Deleted or replaced text never starts or stops anything.
    MakeRow(Any, C::TextEdited, NoCondition, Stays, {E::TakeWholeText, E::NoteShorterText}),

    MakeRow(Any, C::Loop, NoCondition, Stays, {E::StoreLoopFlag}),
    MakeRow(Any, C::TxDone, NoCondition, S::Idle, {E::Enable, E::EnterState, E::ApplyHeldBackTone},
            TxDoneButtons),
    MakeRow(S::ManualKeying, C::KeyingCancelled, NoCondition, S::Idle,
            {E::StopElementTimer, E::EnterState, E::Enable}, ManualEnds),
    MakeRow(S::ManualFromHeld, C::KeyingCancelled, NoCondition, S::Held,
            {E::StopElementTimer, E::EnterState, E::Enable}, ManualEnds),
    MakeRow(Any, C::ProgressEnded, NoCondition, Stays, {E::Enable, E::RefreshMenu}, ButtonsB),

    // Quitting stops what runs: a reception through Stop, anything else's element timer.
    MakeRow(S::Receiving, C::Quit, NoCondition, S::Idle, {E::RunStop}),
    MakeRow(S::ReceivingFromHeld, C::Quit, NoCondition, S::Held, {E::RunStop}),
    MakeRow(Any, C::Quit, NoCondition, Stays, {E::StopElementTimer}),
};

constexpr E EffectOf(Condition condition) {
  return condition == Condition::TimerStarts ? E::StartElementTimer : E::OpenCapture;
}

// A row with a condition holds the effect that decides it, and only a row with one does.
constexpr bool ConditionsInTheirRows() {
  for (const Row& row : Rows) {
    const auto* end = row.effects.begin() + row.count;
    for (const E gate : {E::StartElementTimer, E::OpenCapture}) {
      const bool held = std::find(row.effects.begin(), end, gate) != end;
      const bool decides = row.condition != Condition::None && EffectOf(row.condition) == gate;
      if (held != decides) return false;
    }
  }
  return true;
}
static_assert(ConditionsInTheirRows());

const Row* Find(S from, C command) {
  const auto found = std::find_if(std::begin(Rows), std::end(Rows), [&](const Row& row) {
    return row.command == command && (!row.from || *row.from == from);
  });
  return found == std::end(Rows) ? nullptr : found;
}

}  // namespace

std::optional<Transition> Next(StationState from, StationCommand command, bool conditionHeld) {
  const Row* row = Find(from, command);
  if (row == nullptr) return std::nullopt;
  std::span<const E> effects(row->effects.data(), row->count);
  if (row->condition == Condition::None || conditionHeld) {
    return Transition{row->to.value_or(from), effects, row->enabling, row->monitorPriority};
  }
  const auto gate = std::find(effects.begin(), effects.end(), EffectOf(row->condition));
  return Transition{from, effects.first(static_cast<std::size_t>(gate - effects.begin()) + 1),
                    row->enabling, row->monitorPriority};
}

bool AsksBeforeQuitting(StationState state) {
  return state == S::Transmitting || Receives(state) || state == S::Held;
}

}  // namespace zudorave
