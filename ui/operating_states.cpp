#include "ui/operating_states.h"

#include <string>

#include "platform/worker.h"
#include "ui/dialog_template.h"

namespace zudorave {

OperatingStates::OperatingStates(StationValues& station, MorseKeyer& keyer, SndRx& rx,
                                 WimDataTarget& captureTarget, StationWindow& window, Prompts& ask,
                                 UiThread& ui)
    : station_(station),
      keyer_(keyer),
      rx_(rx),
      captureTarget_(captureTarget),
      window_(window),
      ask_(ask),
      ui_(ui) {}

OperatingStates::~OperatingStates() { StopWorkers(); }

void OperatingStates::StopWorkers() { progress_.clear(); }

void OperatingStates::ButtonsA() {
  window_.EnableControl(IDC_STOP, true);
  window_.EnableControl(IDC_TRANSMIT, false);
  window_.EnableControl(IDC_MANUAL, false);
  window_.EnableControl(IDC_RECEIVE, false);
}

void OperatingStates::ButtonsB() {
  window_.EnableControl(IDC_STOP, false);
  window_.EnableControl(IDC_TRANSMIT, true);
  window_.EnableControl(IDC_MANUAL, true);
  window_.EnableControl(IDC_RECEIVE, true);
}

void OperatingStates::StartProgressThread() {
  // Threads that saw their transmission end are done; one that has not yet goes on beside
  // the new one.
  std::erase_if(progress_, [](const auto& thread) { return thread->Finished(); });
  progress_.push_back(std::make_unique<ProgressThread>(station_, ui_, window_));
}

// The element timer has started: the buttons, the state and the progress thread follow.
bool OperatingStates::StartSending() {
  if (!keyer_.StartElementTimer()) return false;
  ButtonsA();
  SetState(StationState::Transmitting);
  StartProgressThread();
  return true;
}

void OperatingStates::Transmit() {
  const StationState state = State();
  if (state != StationState::Idle && state != StationState::Held) return;
  station_.TransmitText.Clear();
  if (state == StationState::Idle) station_.KeyedCharIndex = 0;
  station_.TransmitText.Set(window_.TypedText());
  StartSending();
}

void OperatingStates::Stop() {
  switch (State()) {
    case StationState::Transmitting:
      ButtonsB();  // the element timer runs on until the transmission ends
      SetState(StationState::StoppingTransmit);
      break;
    case StationState::StoppingTransmit:
      keyer_.StopElementTimer();
      break;
    case StationState::Receiving:
    case StationState::ReceivingFromHeld:
      SetState(State() == StationState::Receiving ? StationState::Idle : StationState::Held);
      rx_.SetStopRequested(true);
      rx_.CloseSndRx();
      window_.EnableControl(IDC_RECEIVE, true);
      window_.EnableControl(IDC_STOP, false);
      window_.EnableControl(IDC_TRANSMIT, true);
      window_.EnableControl(IDC_MANUAL, true);
      window_.CaptureClosed();
      break;
    case StationState::ManualKeying:
    case StationState::ManualFromHeld:
      EndManualRun();
      break;
    default:
      break;
  }
}

void OperatingStates::Manual() {
  const StationState from = State();
  if (from != StationState::Idle && from != StationState::Held) return;
  if (!keyer_.StartElementTimer()) return;
  window_.EnableControl(IDC_SPACING_SLIDER, false);
  window_.EnableControl(IDC_TRANSMIT, false);
  window_.EnableControl(IDC_MANUAL, false);
  SetState(from == StationState::Idle ? StationState::ManualKeying : StationState::ManualFromHeld);
  window_.RunKeyingDialog(from == StationState::Idle ? ThreadPriorityBelowNormal
                                                     : ThreadPriorityNormal);
}

void OperatingStates::Receive() {
  const StationState from = State();
  if (from != StationState::Idle && from != StationState::Held) return;
  if (!rx_.OpenSndRx(&captureTarget_)) return;
  SetState(from == StationState::Idle ? StationState::Receiving : StationState::ReceivingFromHeld);
  ButtonsA();
  rx_.StartSndRx();
}

void OperatingStates::TypedTextChanged() {
  if (State() == StationState::Receiving || State() == StationState::ReceivingFromHeld) Stop();
  const std::string text = window_.TypedText();
  const auto n = static_cast<int32_t>(text.size());
  if (station_.TypedLength >= n) {
    // Deleted or replaced text never starts or stops anything.
    station_.TransmitText.Set(text);
    station_.TypedLength = n;
    // The clock may move it meanwhile; only a position past the new end goes back to 0.
    int32_t at = station_.SendPosition;
    while (n < at && !station_.SendPosition.compare_exchange_weak(at, 0)) {
    }
    return;
  }
  switch (State()) {
    case StationState::Idle:
      // Only the last character counts, however much arrived at once.
      station_.TransmitText.Set(text.substr(text.size() - 1));
      station_.TypedLength = n;
      station_.KeyedCharIndex = n - 1;
      SetState(StationState::Transmitting);
      if (keyer_.StartElementTimer()) {
        ButtonsA();
        StartProgressThread();
      } else {
        // Nothing sends: a station left in Transmitting could only be stopped by a message
        // that nothing sends.
        SetState(StationState::Idle);
      }
      break;
    case StationState::Transmitting:
      station_.TypedLength = n;
      station_.TransmitText.Append(text.back());
      break;
    case StationState::Held:
      station_.TransmitText.Set(text);
      StartSending();
      break;
    default:
      break;
  }
}

void OperatingStates::Loop() { station_.LoopFlag = window_.LoopChecked(); }

void OperatingStates::TxDone() {
  window_.EnableControl(IDC_STOP, false);
  window_.EnableControl(IDC_TRANSMIT, true);
  window_.EnableControl(IDC_RECEIVE, true);
  SetState(StationState::Idle);
}

void OperatingStates::EndManualRun() {
  const StationState state = State();
  if (state != StationState::ManualKeying && state != StationState::ManualFromHeld) return;
  keyer_.StopElementTimer();
  SetState(state == StationState::ManualKeying ? StationState::Idle : StationState::Held);
  window_.EnableControl(IDC_STOP, false);
  window_.EnableControl(IDC_SPACING_SLIDER, true);
  window_.EnableControl(IDC_TRANSMIT, true);
  window_.EnableControl(IDC_MANUAL, true);
}

bool OperatingStates::CanQuit() {
  const StationState state = State();
  if (state == StationState::Transmitting || state == StationState::Receiving ||
      state == StationState::ReceivingFromHeld || state == StationState::Held) {
    if (ask_.MessageBox(QuitQuestion, QuitCaption, MB_YESNO | MB_ICONQUESTION) == IDNO) {
      return false;
    }
  }
  // The answer may have taken a while; the state is read again.
  if (State() == StationState::Receiving || State() == StationState::ReceivingFromHeld) {
    Stop();
  } else {
    keyer_.StopElementTimer();
  }
  return true;
}

}  // namespace zudorave
