#pragma once
// The station's operating states and every command that moves between them: Transmit, Stop,
// Manual, Receive, the typed text, Loop, the end of a transmission, the end of a manual run and
// the question before quitting. Plain C++: the main window comes in as a StationWindow, the
// question through Prompts. It owns the progress threads and joins them when destroyed.
// User-interface thread only.
#include <memory>
#include <vector>

#include "capture/snd_rx.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/prompts.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "ui/station_threads.h"
#include "ui/station_window.h"

namespace zudorave {

inline constexpr char QuitQuestion[] = "Realy want to quit this application?";  // string 32797
inline constexpr char QuitCaption[] = "ACHTUNG";

class OperatingStates {
 public:
  // All of these outlive the object; captureTarget gets the capture's returned buffers.
  OperatingStates(StationValues& station, MorseKeyer& keyer, SndRx& rx,
                  WimDataTarget& captureTarget, StationWindow& window, Prompts& ask, UiThread& ui);
  ~OperatingStates();
  OperatingStates(const OperatingStates&) = delete;
  OperatingStates& operator=(const OperatingStates&) = delete;

  void Transmit();
  void Stop();
  void Manual();
  void Receive();
  void TypedTextChanged();
  void Loop();
  // WM_TX_DONE: whatever the state, back to Idle.
  void TxDone();
  // The keying dialog was cancelled: the run ends where it started.
  void EndManualRun();
  // Asks where the state calls for it and stops what runs; true when the window may close.
  bool CanQuit();
  // Stops and joins the worker threads; call once the window is about to go.
  void StopWorkers();

  std::size_t ProgressThreads() const { return progress_.size(); }

 private:
  StationState State() const { return station_.OperatingState; }
  void SetState(StationState state) { station_.OperatingState = state; }
  void ButtonsA();
  void ButtonsB();
  void StartProgressThread();
  bool StartSending();

  StationValues& station_;
  MorseKeyer& keyer_;
  SndRx& rx_;
  WimDataTarget& captureTarget_;
  StationWindow& window_;
  Prompts& ask_;
  UiThread& ui_;
  std::vector<std::unique_ptr<ProgressThread>> progress_;
};

}  // namespace zudorave
