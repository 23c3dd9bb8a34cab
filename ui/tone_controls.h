// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog's tone controls as a view: the AF1 trackbar and the frequency beside it, the
// AF2 and AF3 fields with their arrows, the AF1, AF2, AF3 and Mike boxes, the five mode buttons
// and the Option menu's three toggles. It turns their events into values for the tone
// controller, and shows back what follows on them; the decisions are the controller's.
// Threads: user-interface thread only.
#include <cstdint>
#include <map>

#include "morse/station_values.h"
#include "platform/prompts.h"
#include "station/tone_controller.h"
#include "synth/snd_tx.h"

class QAction;
class QLabel;
class QPushButton;
class QSlider;

namespace zudorave {

class TemplateDialog;
class UpDown;

class ToneControls {
 public:
  // All of these outlive the view.
  ToneControls(ToneController& tone, SndTx& tx, StationValues& station, Prompts& ask);

  // Takes the dialog's controls and Option items once they exist, and gives them their
  // ranges and first values. Texts written meanwhile are not the user's.
  void Attach(TemplateDialog& dialog, const std::map<int, QAction*>& menu, int32_t af1Hz);
  // From here on, the AF2 and AF3 fields take what is typed into them.
  void Ready() { ready_ = true; }

  // A command or notification of one of its controls or items; false when none is its.
  bool OnCommand(int id, uint32_t code);
  // Any horizontal scroll: AF1's trackbar may have moved.
  void OnScroll();
  // The reception closed the capture the Mike box shares.
  void MikeReleased();
  // The start-up probe found no playback device where the speaker may stand in.
  void UseSpeakerInstead();

 private:
  struct Handler {
    int id;
    uint32_t code;
    void (ToneControls::*run)(int id);
  };
  static const Handler Handlers[];

  void OnSource(int id);
  void OnMike(int id);
  void OnMode(int id);
  void OnField(int id);
  void OnSinus(int id);
  void OnSpeaker(int id);
  void OnIgnoreSpaces(int id);
  // The sources as the boxes show them.
  void UpdateSources();
  // Sets a menu item's check mark and returns whether it was checked before.
  bool CheckMenuItem(int id, bool check);
  void ShowAf1();

  ToneController& tone_;
  SndTx& tx_;
  StationValues& station_;
  Prompts& ask_;
  TemplateDialog* dialog_ = nullptr;
  std::map<int, QAction*> menu_;
  std::map<int, bool> checks_;
  QSlider* af1Slider_ = nullptr;
  QLabel* af1Label_ = nullptr;
  QPushButton* mike_ = nullptr;
  bool speaker_ = false;
  bool ignoreSpaces_ = true;
  bool ready_ = false;
};

}  // namespace zudorave
