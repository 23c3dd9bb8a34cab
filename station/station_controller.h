// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operating states at work: runs each command through the transition table and carries
// out its row's effects on the texts, the keyer, the capture and the tone controller, and,
// through the StationView, on the window. Plain C++: the question before quitting comes
// through Prompts. It gets the capture's returned buffers, and owns the progress threads and
// joins them when destroyed.
// Threads: user-interface thread only; the progress threads reach it through calls carried
// out there.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/snd_rx.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/prompts.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "station/station_threads.h"
#include "station/station_view.h"
#include "station/tone_controller.h"
#include "station/transitions.h"

namespace zudorave {

inline constexpr char QuitQuestion[] = "Realy want to quit this application?";  // string 32797
inline constexpr char QuitCaption[] = "ACHTUNG";

class StationController : public WimDataTarget, private ProgressTarget {
 public:
  // All of these outlive the controller; the view is not used before the first command.
  StationController(StationValues& station, MorseKeyer& keyer, SndRx& rx, ToneController& tone,
                    StationView& view, Prompts& ask, UiThread& ui);
  ~StationController() override;
  StationController(const StationController&) = delete;
  StationController& operator=(const StationController&) = delete;

  // What the text box gained at its last growth, and where in it that starts.
  struct TypedRun {
    int32_t at = 0;
    std::string text;
  };

  void Run(StationCommand command);
  // The text box changed: grown, or edited, against the length last taken.
  void TypedTextChanged();
  // Asks where the state calls for it and stops what runs; true when the window may close.
  bool CanQuit();
  // Stops and joins the worker threads; call once the window is about to go.
  void StopWorkers();

  // A returned capture buffer; a stop it was waiting for runs the Stop command.
  void OnWimData(WaveIn& device, WaveHdr& header) override;

 private:
  StationState State() const { return station_.OperatingState; }
  void SetState(StationState state) { station_.OperatingState = state; }
  // False when the effect is a condition that failed.
  bool Apply(StationEffect effect, const Transition& row, StationCommand command);
  void StartProgressThread();
  void ShowKeyedChar() override { view_.ShowKeyedChar(); }
  void TransmissionLeft() override { Run(StationCommand::ProgressEnded); }

  StationValues& station_;
  MorseKeyer& keyer_;
  SndRx& rx_;
  ToneController& tone_;
  StationView& view_;
  Prompts& ask_;
  UiThread& ui_;
  std::vector<std::unique_ptr<ProgressThread>> progress_;
  std::string boxText_;  // the text box's text as its last change left it
  TypedRun typed_;
};

}  // namespace zudorave
