#include "ui/main_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <limits>

#include "morse/operating_state.h"
#include "synth/mix_mode.h"
#include "ui/about_dlg.h"
#include "ui/app_icon.h"
#include "ui/control_help.h"
#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/menu_resource.h"
#include "ui/up_down.h"

namespace zudorave {

namespace {

constexpr char AboutMenuText[] = "&About Zudorave...";               // string 101
constexpr char AudioPortWarning[] = "Can not open the audio port!";  // string 32796
constexpr char WarningCaption[] = " WARNING";
constexpr char NotAPositiveInteger[] = "Please enter a positive integer.";
constexpr char SaveFilter[] = "Text Files (*.txt)|*.txt||";

// An unsigned decimal number with blanks around it and nothing else, as the data exchange
// reads it; thousands separators do not count as part of a number.
std::optional<uint32_t> ParseUnsigned(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  uint64_t value = 0;
  for (const QChar c : trimmed) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c.unicode() - '0');
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

// Which member runs for which command or notification. Ids without an entry (File, Open among
// them) do nothing.
const MainDlg::MessageMapEntry MainDlg::MessageMap[] = {
    {IDC_AF1, BN_CLICKED, &MainDlg::OnSourceClicked},
    {IDC_AF2, BN_CLICKED, &MainDlg::OnSourceClicked},
    {IDC_AF3, BN_CLICKED, &MainDlg::OnSourceClicked},
    {IDC_MIKE, BN_CLICKED, &MainDlg::OnCheckMike},
    {IDC_LSB, BN_CLICKED, &MainDlg::OnModeClicked},
    {IDC_USB, BN_CLICKED, &MainDlg::OnModeClicked},
    {IDC_DSB, BN_CLICKED, &MainDlg::OnModeClicked},
    {IDC_SUM, BN_CLICKED, &MainDlg::OnModeClicked},
    {IDC_PRODUCT, BN_CLICKED, &MainDlg::OnModeClicked},
    {IDC_AF2_EDIT, EN_CHANGE, &MainDlg::OnChangeAf2},
    {IDC_AF3_EDIT, EN_CHANGE, &MainDlg::OnChangeAf3},
    {ID_OPTION_SINUS, BN_CLICKED, &MainDlg::OnOptionSinus},
    {ID_OPTION_SPEAKER, BN_CLICKED, &MainDlg::OnOptionSpeaker},
    {ID_OPTION_IGNORE_SPACES, BN_CLICKED, &MainDlg::OnOptionIgnoreSpaces},
    {ID_APP_ABOUT, BN_CLICKED, &MainDlg::OnAppAbout},
    {ID_FILE_SAVE, BN_CLICKED, &MainDlg::OnFileSave},
    {ID_FILE_SAVE_AS, BN_CLICKED, &MainDlg::OnFileSaveAs},
    {ID_FILE_EXIT, BN_CLICKED, &MainDlg::OnFileExit},
    {IDC_EXIT, BN_CLICKED, &MainDlg::QuitIfConfirmed},
    {IDC_TRANSMIT, BN_CLICKED, &MainDlg::OnTransmit},
    {ID_CONFIG_TRANSMIT, BN_CLICKED, &MainDlg::OnTransmit},
    {IDC_STOP, BN_CLICKED, &MainDlg::OnStop},
    {ID_CONFIG_STOP, BN_CLICKED, &MainDlg::OnStop},
    {IDC_MANUAL, BN_CLICKED, &MainDlg::OnManual},
    {ID_CONFIG_MANUAL, BN_CLICKED, &MainDlg::OnManual},
    {IDC_RECEIVE, BN_CLICKED, &MainDlg::OnReceive},
    {ID_CONFIG_RECEIVE, BN_CLICKED, &MainDlg::OnReceive},
    {IDC_TEXT, EN_CHANGE, &MainDlg::OnChangeText},
    {IDC_LOOP, BN_CLICKED, &MainDlg::OnLoop},
};

MainDlg* MainDlgPtr = nullptr;
KeyingDlg* ActiveKeyingDlg = nullptr;

MainDlg::MainDlg(const MainDlgContext& context)
    : TemplateDialog(nullptr),
      Keyer(context.Station, context.KeyingDevice, context.Timer, context.Ui, context.Af1Frequency),
      Rx(context.CaptureDevice, context.SpeakerDevice, context.FreeQueue, context.FilledQueue),
      Icon(AppIcon()),
      States(context.Station, Keyer, Rx, *this, *this, context.Ask, context.Ui),
      context_(context) {
  // The capture buffers are queued before the window exists.
  CreateCapturePool(context_.Pool, context_.FreeQueue);
  // The keyer has stopped the element timer when a transmission ends.
  Keyer.OnTransmissionEnd([this] { SendMessage(WM_TX_DONE, 0, 0); });
}

MainDlg::~MainDlg() {
  // No worker may reach the window once its members start to go.
  States.StopWorkers();
}

QAction* MainDlg::MenuItem(int id) const {
  const auto found = menuItems_.find(id);
  return found == menuItems_.end() ? nullptr : found->second;
}

int MainDlg::DoModal() {
  Create();
  return exec();
}

void MainDlg::Create() {
  if (created_) return;
  created_ = true;
  CreateFromTemplate();
  OnInitDialog();
  if (context_.ShowStation) ShowStationPanel();
}

void MainDlg::CreateFromTemplate() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  menuBar_ = new QMenuBar(this);
  menuBar_->setNativeMenuBar(false);
  menuItems_ = BuildMenuBar(*menuBar_, MainMenuTemplate());
  for (const auto& [id, action] : menuItems_) {
    connect(action, &QAction::triggered, this, [this, id = id] { OnCommand(id, BN_CLICKED); });
  }
  for (QMenu* popup : menuBar_->findChildren<QMenu*>()) {
    connect(popup, &QMenu::aboutToShow, this, &MainDlg::OnInitMenu);
  }

  client_ = BuildFromTemplate(MainDialogTemplate(), menuBar_);
  WireNotifications();
  DescribeMainDialog(*this, menuItems_);
}

void MainDlg::WireNotifications() {
  for (const auto& [id, widget] : Controls()) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      // A click is every change a user makes: mouse, keyboard, and the accessibility actions
      // (ui/toggle_buttons.h). The dialog's own setChecked runs no handler.
      connect(button, &QAbstractButton::clicked, this,
              [this, id = id] { OnCommand(id, BN_CLICKED); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      connect(edit, &QLineEdit::textChanged, this, [this, id = id] { OnCommand(id, EN_CHANGE); });
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
      connect(text, &QPlainTextEdit::textChanged, this,
              [this, id = id] { OnCommand(id, EN_CHANGE); });
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
      // Every move, and the end of a drag, is a horizontal scroll notification.
      connect(slider, &QSlider::valueChanged, this, &MainDlg::OnHScroll);
      connect(slider, &QSlider::sliderReleased, this, &MainDlg::OnHScroll);
    } else if (auto* spin = qobject_cast<UpDown*>(widget)) {
      connect(spin, &UpDown::Scrolled, this, &MainDlg::OnHScroll);
    }
  }
}

bool MainDlg::DoDataExchange(bool saveAndValidate) {
  if (MikeCheck == nullptr) {
    MikeCheck = ControlAs<QPushButton>(IDC_MIKE);
    AF3Spin = ControlAs<UpDown>(IDC_AF3_SPIN);
    AF2Spin = ControlAs<UpDown>(IDC_AF2_SPIN);
    AF1Check = ControlAs<QPushButton>(IDC_AF1);
    AF2Check = ControlAs<QPushButton>(IDC_AF2);
    AF3Check = ControlAs<QPushButton>(IDC_AF3);
    ReceiveButton = ControlAs<QPushButton>(IDC_RECEIVE);
    AF1Label = ControlAs<QLabel>(IDC_AF1_LABEL);
    LoopCheck = ControlAs<QCheckBox>(IDC_LOOP);
    ManualButton = ControlAs<QPushButton>(IDC_MANUAL);
    TransmitButton = ControlAs<QPushButton>(IDC_TRANSMIT);
    StopButton = ControlAs<QPushButton>(IDC_STOP);
    SpacingSlider = ControlAs<QSlider>(IDC_SPACING_SLIDER);
    TextEdit = ControlAs<QPlainTextEdit>(IDC_TEXT);
    SpeedSlider = ControlAs<QSlider>(IDC_SPEED_SLIDER);
    AF1Slider = ControlAs<QSlider>(IDC_AF1_SLIDER);
  }
  auto* edit = ControlAs<QLineEdit>(IDC_AF2_EDIT);
  if (!saveAndValidate) {
    edit->setText(QString::number(AF2Value));
    return true;
  }
  const std::optional<uint32_t> value = ParseUnsigned(edit->text());
  if (!value) {
    context_.Ask.MessageBox(NotAPositiveInteger, AppTitle, MB_OK | MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  AF2Value = *value;
  return true;
}

void MainDlg::OnInitDialog() {
  DoDataExchange(false);

  // The window manager's own menu cannot be extended, so the About entry lives in a window
  // menu of ours, offered on Alt+Space and on a right click.
  systemMenu_ = new QMenu(this);
  systemMenu_->setObjectName("SystemMenu");
  systemMenu_->addAction("Mi&nimize")->setData(SC_MINIMIZE);
  systemMenu_->addAction("&Close\tAlt+F4")->setData(SC_CLOSE);
  if (AboutMenuText[0] != '\0') {
    systemMenu_->addSeparator();
    QAction* about = systemMenu_->addAction(AboutMenuText);
    about->setData(IDM_ABOUTBOX);
    about->setObjectName(QString::number(IDM_ABOUTBOX));
  }
  connect(systemMenu_, &QMenu::triggered, this,
          [this](QAction* action) { OnSysCommand(action->data().toUInt()); });
  auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(altSpace, &QShortcut::activated, this,
          [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });

  setWindowIcon(Icon);

  {
    // Setting positions is not a user's scroll; the handler must not see it.
    const QSignalBlocker blockSpeed(SpeedSlider);
    const QSignalBlocker blockSpacing(SpacingSlider);
    const QSignalBlocker blockAf1(AF1Slider);
    SpeedSlider->setTickInterval(5);
    SpeedSlider->setRange(MinSpeedWpm, MaxSpeedWpm);
    SpeedSlider->setValue(InitialSpeedWpm);
    SpacingSlider->setTickInterval(100);
    SpacingSlider->setRange(0, MaxExtraSpacing);
    SpacingSlider->setValue(0);
    AF1Slider->setTickInterval(100);
    AF1Slider->setRange(10, 2000);
    AF1Slider->setPageStep((2000 - 10) / 5);
    AF1Slider->setValue(context_.Af1Frequency);
  }

  StopButton->setEnabled(false);
  TransmitButton->setEnabled(true);
  AF1Label->setText(QString::asprintf("%d", context_.Af1Frequency));
  OscMask = 0;

  AF3Spin->SetRange(300, 18000);
  AF2Spin->SetRange(100, 4000);
  AF3Spin->SetPos(15000);
  AF2Spin->SetPos(2400);

  ControlAs<QPushButton>(IDC_SUM)->setChecked(true);
  context_.Tx.SetSinus(true);

  SpeakerChecked = 0;
  IgnoreSpacesChecked = 1;
  context_.Station.IgnoreSpaces = 1;
  CheckMenuItem(ID_OPTION_SPEAKER, SpeakerChecked != 0);
  CheckMenuItem(ID_OPTION_IGNORE_SPACES, IgnoreSpacesChecked != 0);
  CheckMenuItem(ID_OPTION_SINUS, context_.Tx.Sinus());

  const std::optional<std::string> os = context_.Env.Get("OS");
  NotWindowsNT = (os && *os == "Windows_NT") ? 0 : 1;

  // Probe the playback device once, so a missing sound card is reported at start.
  if (context_.Tx.OpenSndTx(100)) {
    context_.Tx.CloseSndTx();
  } else {
    context_.Ask.MessageBox(AudioPortWarning, WarningCaption, MB_OK | MB_ICONEXCLAMATION);
    if (NotWindowsNT == 0) {
      CheckMenuItem(ID_OPTION_SPEAKER, true);
      SpeakerChecked = 1;
      context_.Station.UseSpeaker = 1;
    }
  }

  ControlsReady = 1;
  // QDialog gives the first control of the tab order the focus when it is shown.
}

bool MainDlg::OnCommand(int id, uint32_t code) {
  for (const MessageMapEntry& entry : MessageMap) {
    if (entry.id == id && entry.code == code) {
      (this->*entry.handler)();
      return true;
    }
  }
  return false;
}

void MainDlg::OnSysCommand(uint32_t id) {
  switch (id & 0xFFF0) {
    case IDM_ABOUTBOX:
      OnAppAbout();
      break;
    case SC_MINIMIZE:
      showMinimized();
      break;
    case SC_CLOSE:
      close();
      break;
    default:
      break;
  }
}

void MainDlg::OnAppAbout() {
  // Like any modal box it belongs to the window that is active, and opens over it.
  AboutDlg about(QApplication::activeWindow());
  about.exec();
}

void MainDlg::OnFileSave() {}

void MainDlg::OnFileSaveAs() {
  // Nothing is saved yet; the chosen name is not used.
  context_.Ask.SaveFileName(SaveFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

void MainDlg::ShowSystemMenu(const QPoint& where) { systemMenu_->popup(where); }

void MainDlg::contextMenuEvent(QContextMenuEvent* event) {
  ShowSystemMenu(event->globalPos());
  event->accept();
}

bool MainDlg::CanQuit() { return States.CanQuit(); }

void MainDlg::EndWithoutAsking() { done(QDialog::Rejected); }

void MainDlg::QuitIfConfirmed() {
  if (CanQuit()) done(QDialog::Rejected);
}

void MainDlg::accept() {
  if (!DoDataExchange(true)) return;
  if (CanQuit()) done(QDialog::Accepted);
}

void MainDlg::reject() {
  if (CanQuit()) done(QDialog::Rejected);
}

void MainDlg::closeEvent(QCloseEvent* event) {
  if (!CanQuit()) {
    event->ignore();
    return;
  }
  done(QDialog::Rejected);
  event->accept();
}

void MainDlg::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier) {
    // No push button is a default button here: Enter is the dialog's OK.
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainDlg::done(int result) {
  CloseDevices();
  States.StopWorkers();
  QDialog::done(result);
}

void MainDlg::CloseDevices() {
  // No device and no timer may outlive the dialog's run, whichever way it ended.
  Keyer.StopElementTimer();
  if (Rx.DeviceOpen()) Rx.CloseSndRx();
  context_.Tx.CloseSndTx();
}

}  // namespace zudorave
