// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog (template 102): built from its template with the menu and the window menu,
// it holds the tone controls and the station controls, each a view over a controller below
// it, and keeps for itself what is the window's: the start-up probe, the About box, the File
// commands, the user messages and every way out.
#include <QDialog>
#include <cstdint>
#include <map>

#include "capture/capture_pool.h"
#include "capture/capture_queue.h"
#include "capture/received_samples.h"
#include "capture/snd_rx.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/environment.h"
#include "platform/joystick.h"
#include "platform/output_level.h"
#include "platform/periodic_timer.h"
#include "platform/prompts.h"
#include "platform/render_out.h"
#include "platform/speaker.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "station/station_controller.h"
#include "station/tone_controller.h"
#include "synth/snd_tx.h"
#include "ui/messages.h"
#include "ui/station_controls.h"
#include "ui/template_dialog.h"
#include "ui/tone_controls.h"

class QAction;
class QMenu;
class QMenuBar;

namespace zudorave {

// What the dialog works on; all of it outlives the dialog. The program passes its own objects,
// tests pass fresh ones and doubles.
struct MainDlgContext {
  SndTx& Tx;
  CapturePool& Pool;
  CaptureQueue& FreeQueue;
  CaptureQueue& FilledQueue;
  int32_t Af1Frequency;  // at the start; the generator was made with it
  StationValues& Station;
  WaveIn& CaptureDevice;
  RenderOut& KeyingDevice;
  Speaker& SpeakerDevice;
  PeriodicTimer& Timer;
  Joystick& Stick;
  UiThread& Ui;
  Prompts& Ask;
  const Environment& Env;
  // Shows the station's own controls, hidden by the template, in a panel below the others.
  bool ShowStation = false;
  // The outputs' levels, which the station panel sets; none, no level controls.
  OutputLevels* Levels = nullptr;
  // The input's tap the station panel reads received Morse from; none: no received text.
  ReceivedSamples* Received = nullptr;
};

class MainDlg;
class KeyingDlg;

// The running main dialog, valid from before its run until it is destroyed; the keying
// dialog of the current manual run, while it runs. User-interface thread only.
extern MainDlg* MainDlgPtr;
extern KeyingDlg* ActiveKeyingDlg;

// Threads: everything runs on the user-interface thread; the station's worker threads reach
// it only through calls carried out there.
class MainDlg : public TemplateDialog {
  Q_OBJECT
 public:
  explicit MainDlg(const MainDlgContext& context);
  ~MainDlg() override;

  // Creates the window and its controls from the template and initialises them.
  void Create();
  // Create, then run modally; the result is QDialog's.
  int DoModal();

  // Menu items by command id; controls by id come from the template dialog.
  QAction* MenuItem(int id) const;
  QMenuBar* MenuBar() const { return menuBar_; }
  QMenu* SystemMenu() const { return systemMenu_; }

  // Dispatches a command or control notification to the view it belongs to; false when none
  // takes it.
  bool OnCommand(int id, uint32_t code);
  void OnSysCommand(uint32_t id);
  // A user message sent to the window (WM_TX_DONE, WM_MENU_REFRESH, WM_SHOW_KEYED_CHAR), with
  // its result.
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

  // Ends the dialog with the cancel result when CanQuit agrees.
  virtual void QuitIfConfirmed();
  // Asks and stops what runs before the dialog may end. Every way out goes through it, but
  // the one below.
  bool CanQuit();
  // Ends the run at once, as a signal to end the program wants: no question whatever the
  // station does, devices closed and workers joined as on every way out. A box or dialog
  // running modally over this one keeps its own loop; the caller ends those.
  void EndWithoutAsking();

  // The dialog's own address, set by start-up before the dialog runs.
  MainDlg* SelfPtr = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct MessageMapEntry {
    int id;
    uint32_t code;
    void (MainDlg::*handler)();
  };
  static const MessageMapEntry MessageMap[];

  void CreateFromTemplate();
  void OnInitDialog();
  // Moves AF2Value to or from edit 1056; false when the edit does not hold an unsigned decimal
  // number.
  bool DoDataExchange(bool saveAndValidate);
  void WireNotifications();
  // Every horizontal scroll, whatever moved: the station's trackbars first, then AF1's.
  void OnHScroll();
  void OnInitMenu();
  void OnAppAbout();
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileExit() { QuitIfConfirmed(); }
  void ShowSystemMenu(const QPoint& where);
  void CloseDevices();

  MainDlgContext context_;
  QWidget* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  QMenu* systemMenu_ = nullptr;
  std::map<int, QAction*> menuItems_;
  QIcon icon_;
  uint32_t af2Value_ = 0;  // bound to edit 1056
  bool notWindowsNT_ = false;
  bool created_ = false;

  // The keyer and the capture, the controllers that decide, and the views over them. The
  // views and the tone controller know the station controller before it is built, and use it
  // only once a command comes.
  MorseKeyer keyer_;
  SndRx rx_;
  ToneController tone_;
  ToneControls toneControls_;
  StationControls stationControls_;
  // Last: its worker threads stop before any other member goes.
  StationController station_;
};

}  // namespace zudorave
