// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/station_controller.h"

#include <algorithm>
#include <string>

namespace zudorave {

namespace {

// What the text box gained from before to after, and where it stands. One character more is
// its last character wherever it was typed; more at once (a paste) is the inserted run, whole.
StationController::TypedRun Gained(const std::string& before, const std::string& after) {
  const std::size_t n = after.size();
  if (n <= before.size() + 1) return {static_cast<int32_t>(n) - 1, after.substr(n - 1)};
  const auto firstDiff = std::mismatch(before.begin(), before.end(), after.begin()).first;
  const auto prefix = static_cast<std::size_t>(firstDiff - before.begin());
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix &&
         before[before.size() - 1 - suffix] == after[n - 1 - suffix]) {
    ++suffix;
  }
  return {static_cast<int32_t>(prefix), after.substr(prefix, n - prefix - suffix)};
}

}  // namespace

StationController::StationController(StationValues& station, MorseKeyer& keyer, SndRx& rx,
                                     ToneController& tone, StationView& view, Prompts& ask,
                                     UiThread& ui)
    : station_(station), keyer_(keyer), rx_(rx), tone_(tone), view_(view), ask_(ask), ui_(ui) {}

StationController::~StationController() { StopWorkers(); }

void StationController::StopWorkers() { progress_.clear(); }

void StationController::Run(StationCommand command) {
  const StationState from = State();
  const std::optional<Transition> row = Next(from, command, true);
  if (!row) return;
  for (const StationEffect effect : row->effects) {
    if (!Apply(effect, *row, command)) {
      SetState(Next(from, command, false)->to);
      return;
    }
  }
}

void StationController::TypedTextChanged() {
  std::string text = view_.TypedText();
  const auto length = static_cast<int32_t>(text.size());
  const bool grew = station_.TypedLength < length;
  if (grew) typed_ = Gained(boxText_, text);
  boxText_ = std::move(text);
  Run(grew ? StationCommand::TextGrew : StationCommand::TextEdited);
}

bool StationController::Apply(StationEffect effect, const Transition& row, StationCommand command) {
  using E = StationEffect;
  switch (effect) {
    case E::ClearTransmitText:
      station_.TransmitText.Clear();
      station_.TypedRunStart = -1;
      break;
    case E::ResetKeyedIndex:
      station_.KeyedCharIndex = 0;
      break;
    case E::TakeWholeText:
      station_.TransmitText.Set(view_.TypedText());
      station_.TypedRunStart = -1;
      break;
    case E::TakeTypedText:
      // A paste is sent whole, in order; a typed character alone.
      station_.TransmitText.Set(typed_.text);
      station_.TypedLength = static_cast<int32_t>(boxText_.size());
      station_.KeyedCharIndex = typed_.at;
      station_.TypedRunStart = typed_.at;
      break;
    case E::AppendTypedText:
      station_.TypedLength = static_cast<int32_t>(boxText_.size());
      station_.TransmitText.Append(typed_.text);
      break;
    case E::NoteShorterText: {
      const auto n = static_cast<int32_t>(view_.TypedText().size());
      station_.TypedLength = n;
      // The clock may move it meanwhile; only a position past the new end goes back to 0.
      int32_t at = station_.SendPosition;
      while (n < at && !station_.SendPosition.compare_exchange_weak(at, 0)) {
      }
      break;
    }
    case E::StartElementTimer:
      return keyer_.StartElementTimer();
    case E::StopElementTimer:
      keyer_.StopElementTimer();
      break;
    case E::OpenCapture:
      return rx_.OpenSndRx(this);
    case E::StartCapture:
      rx_.StartSndRx();
      view_.ReceptionStarted();
      break;
    case E::CloseCapture:
      rx_.SetStopRequested(true);
      rx_.CloseSndRx();
      view_.ReceptionEnded();
      break;
    case E::ReleaseMike:
      view_.CaptureClosed();
      break;
    case E::EnterState:
      SetState(row.to);
      break;
    case E::Enable:
      view_.Enable(row.enabling);
      break;
    case E::StartProgressThread:
      StartProgressThread();
      break;
    case E::RunKeyingDialog:
      view_.RunKeyingDialog(row.monitorPriority);
      break;
    case E::StoreLoopFlag:
      station_.LoopFlag = view_.LoopChecked() ? 1 : 0;
      break;
    case E::RefreshMenu:
      view_.RefreshMenu();
      break;
    case E::ApplyHeldBackTone:
      tone_.ApplyHeldBackTone();
      break;
    case E::RunStop:
      Run(StationCommand::Stop);
      break;
    case E::RepeatCommand:
      Run(command);
      break;
  }
  return true;
}

void StationController::StartProgressThread() {
  // Threads that saw their transmission end are done; one that has not yet goes on beside
  // the new one.
  std::erase_if(progress_, [](const auto& thread) { return thread->Finished(); });
  ProgressTarget& target = *this;
  progress_.push_back(std::make_unique<ProgressThread>(station_, ui_, target));
}

bool StationController::CanQuit() {
  if (AsksBeforeQuitting(State()) &&
      ask_.MessageBox(QuitQuestion, QuitCaption, MB_YESNO | MB_ICONQUESTION) == IDNO) {
    return false;
  }
  // The answer may have taken a while; the state is read again.
  Run(StationCommand::Quit);
  return true;
}

void StationController::OnWimData(WaveIn& device, WaveHdr& header) {
  rx_.OnWimData(device, header, [this] { Run(StationCommand::Stop); });
}

}  // namespace zudorave
