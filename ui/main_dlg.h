#pragma once
// The main dialog (template 102): the tone controls over the generator, the menu, the window
// menu with its About entry, and the microphone check box.
#include <QDialog>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "capture/capture_pool.h"
#include "capture/capture_queue.h"
#include "capture/snd_rx.h"
#include "morse/morse_keyer.h"
#include "morse/station_values.h"
#include "platform/environment.h"
#include "platform/joystick.h"
#include "platform/periodic_timer.h"
#include "platform/prompts.h"
#include "platform/render_out.h"
#include "platform/speaker.h"
#include "platform/ui_thread.h"
#include "platform/wave_in.h"
#include "platform/wave_out.h"
#include "synth/snd_tx.h"
#include "ui/messages.h"
#include "ui/operating_states.h"
#include "ui/station_window.h"
#include "ui/template_dialog.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace zudorave {

class UpDown;

// What the dialog works on; all of it outlives the dialog. The program passes its own objects,
// tests pass fresh ones and doubles.
struct MainDlgContext {
  SndTx& Tx;
  CapturePool& Pool;
  CaptureQueue& FreeQueue;
  CaptureQueue& FilledQueue;
  int32_t& Af1Frequency;
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
};

inline constexpr char AppTitle[] = "Zudorave";

class MainDlg;
class KeyingDlg;

// The running main dialog, valid from before its run until it is destroyed; the keying
// dialog of the current manual run, while it runs. User-interface thread only.
extern MainDlg* MainDlgPtr;
extern KeyingDlg* ActiveKeyingDlg;

// Threads: everything runs on the user-interface thread; the station's worker threads reach
// the StationWindow side only through calls carried out there.
class MainDlg : public TemplateDialog, public WimDataTarget, public StationWindow {
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

  // Dispatches a command or control notification through the message map; false when no
  // entry matches.
  bool OnCommand(int id, uint32_t code);
  void OnSysCommand(uint32_t id);

  // Tone controls.
  int32_t UpdateOscMask();
  void Remix();
  void OnHScroll();
  void OnCheckMike();

  void OnWimData(WaveIn& device, WaveHdr& header) override;

  // The station's side of the window.
  void EnableControl(int id, bool enabled) override;
  std::string TypedText() const override;
  int32_t LoopChecked() const override;
  void RunKeyingDialog(int monitorPriority) override;
  void CaptureClosed() override;
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  // Enables the File and Config items for the operating state.
  void UpdateMenuState();

  // Ends the dialog with the cancel result when CanQuit agrees.
  virtual void QuitIfConfirmed();
  // Asks and stops what runs before the dialog may end. Every way out goes through it, but
  // the one below.
  bool CanQuit();
  // Ends the run at once, as a signal to end the program wants: no question whatever the
  // station does, devices closed and workers joined as on every way out. A box or dialog
  // running modally over this one keeps its own loop; the caller ends those.
  void EndWithoutAsking();

  // Members, in the order they are built; the dialog's handlers work on them.
  MainDlg* SelfPtr = nullptr;
  MorseKeyer Keyer;
  SndRx Rx;
  uint8_t SpeakerChecked = 0;
  uint8_t IgnoreSpacesChecked = 1;
  QPushButton* MikeCheck = nullptr;
  UpDown* AF3Spin = nullptr;
  UpDown* AF2Spin = nullptr;
  QPushButton* AF1Check = nullptr;
  QPushButton* AF2Check = nullptr;
  QPushButton* AF3Check = nullptr;
  QPushButton* ReceiveButton = nullptr;
  QLabel* AF1Label = nullptr;
  QCheckBox* LoopCheck = nullptr;
  QPushButton* ManualButton = nullptr;
  QPushButton* TransmitButton = nullptr;
  QPushButton* StopButton = nullptr;
  QSlider* SpacingSlider = nullptr;
  QPlainTextEdit* TextEdit = nullptr;
  // The caret on the character being sent: drawn over edit 1013, apart from the edit's own
  // cursor, so what the operator types still goes where they type it. Made on first use.
  QWidget* KeyedCaret = nullptr;
  QSlider* SpeedSlider = nullptr;
  QSlider* AF1Slider = nullptr;
  uint32_t AF2Value = 0;
  uint8_t NotWindowsNT = 0;
  QIcon Icon;
  uint8_t ControlsReady = 0;
  int32_t OscMask = 0;
  OperatingStates States;  // last: its worker threads stop before any other member goes

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
  // Attaches the wrappers (first time) and moves AF2Value to or from edit 1056; false when
  // the edit does not hold an unsigned decimal number.
  bool DoDataExchange(bool saveAndValidate);
  void WireNotifications();

  void OnChangeAf2();
  void OnChangeAf3();
  void ApplyField(UpDown* spin, int32_t oscillator);
  void OnModeClicked() { Remix(); }
  void OnSourceClicked() { UpdateOscMask(); }
  void OnOptionSinus();
  void OnOptionSpeaker();
  void OnOptionIgnoreSpaces();
  // Sets a menu item's check mark and returns whether it was checked before.
  bool CheckMenuItem(int id, bool check);
  void OnInitMenu();
  void OnTransmit() { States.Transmit(); }
  void OnStop() { States.Stop(); }
  void OnManual() { States.Manual(); }
  void OnReceive() { States.Receive(); }
  void OnChangeText() { States.TypedTextChanged(); }
  void OnLoop() { States.Loop(); }
  intptr_t OnTxDone();
  intptr_t OnMenuRefresh();
  intptr_t OnShowKeyedChar();
  int KeyedPosition() const;  // KeyedCharIndex, within the edit's text
  void PlaceCaret();
  void ShowStationPanel();
  bool Receiving() const;
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
  std::map<int, bool> menuChecks_;
  bool created_ = false;
};

}  // namespace zudorave
