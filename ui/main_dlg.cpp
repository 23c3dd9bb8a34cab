// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <cstdio>
#include <limits>

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

// The window's own commands; the views take theirs. Ids without an entry anywhere (File, Open
// among them) do nothing.
const MainDlg::MessageMapEntry MainDlg::MessageMap[] = {
    {ID_APP_ABOUT, BN_CLICKED, &MainDlg::OnAppAbout},
    {ID_FILE_SAVE, BN_CLICKED, &MainDlg::OnFileSave},
    {ID_FILE_SAVE_AS, BN_CLICKED, &MainDlg::OnFileSaveAs},
    {ID_FILE_EXIT, BN_CLICKED, &MainDlg::OnFileExit},
    {IDC_EXIT, BN_CLICKED, &MainDlg::QuitIfConfirmed},
};

MainDlg* MainDlgPtr = nullptr;

MainDlg::MainDlg(const MainDlgContext& context)
    : TemplateDialog(nullptr),
      context_(context),
      icon_(AppIcon()),
      keyer_(context.Station, context.KeyingDevice, context.Timer, context.Ui,
             context.Af1Frequency),
      rx_(context.CaptureDevice, context.SpeakerDevice, context.FreeQueue, context.FilledQueue),
      tone_(context.Tx, keyer_, rx_, station_, context.Station, context.Af1Frequency),
      toneControls_(tone_, context.Tx, context.Station, context.Ask),
      stationControls_(station_, toneControls_,
                       StationControls::Keying{keyer_, context.Station, context.Stick, context.Ask,
                                               context.SpeakerDevice, context.Ui}),
      station_(context.Station, keyer_, rx_, tone_, stationControls_, context.Ask, context.Ui) {
  // The capture buffers are queued before the window exists.
  CreateCapturePool(context_.Pool, context_.FreeQueue);
  stationControls_.ReceiveFrom(context.Received, context.CaptureDevice);
  // The keyer has stopped the element timer when a transmission ends.
  keyer_.OnTransmissionEnd([this] { SendMessage(WM_TX_DONE, 0, 0); });
  keyer_.OnOutputLost([](bool transmissionEnded) {
    std::fputs(transmissionEnded
                   ? "zudorave: the sound server went away; the transmission has ended\n"
                   : "zudorave: the sound server went away; the sidetone plays again once it is "
                     "back\n",
               stderr);
  });
}

MainDlg::~MainDlg() {
  // No worker may reach the window once its members start to go.
  station_.StopWorkers();
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
  if (context_.ShowStation) stationControls_.ShowPanel(context_.Levels);
}

void MainDlg::CreateFromTemplate() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  menuBar_ = new QMenuBar(this);
  menuBar_->setNativeMenuBar(false);
  menuItems_ = BuildMenuBar(*menuBar_, MainMenuTemplate());
  for (const auto& [id, action] : menuItems_) {
    // Queued: whoever triggered the item (a click, or a screen reader's Press, which waits for
    // the answer) gets it back at once, even when the command then runs a modal box.
    connect(
        action, &QAction::triggered, this, [this, id = id] { OnCommand(id, BN_CLICKED); },
        Qt::QueuedConnection);
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
  auto* edit = ControlAs<QLineEdit>(IDC_AF2_EDIT);
  if (!saveAndValidate) {
    edit->setText(QString::number(af2Value_));
    return true;
  }
  const std::optional<uint32_t> value = ParseUnsigned(edit->text());
  if (!value) {
    context_.Ask.MessageBox(NotAPositiveInteger, AppTitle, MB_OK | MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  af2Value_ = *value;
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

  setWindowIcon(icon_);
  stationControls_.Attach(*this, menuItems_);
  toneControls_.Attach(*this, menuItems_, context_.Af1Frequency);

  const std::optional<std::string> os = context_.Env.Get("OS");
  notWindowsNT_ = !(os && *os == "Windows_NT");

  // Probe the playback device once, so a missing sound card is reported at start.
  if (context_.Tx.OpenSndTx(100)) {
    context_.Tx.CloseSndTx();
  } else {
    context_.Ask.MessageBox(AudioPortWarning, WarningCaption, MB_OK | MB_ICONEXCLAMATION);
    if (!notWindowsNT_) toneControls_.UseSpeakerInstead();
  }

  toneControls_.Ready();
  // QDialog gives the first control of the tab order the focus when it is shown.
}

bool MainDlg::OnCommand(int id, uint32_t code) {
  for (const MessageMapEntry& entry : MessageMap) {
    if (entry.id == id && entry.code == code) {
      (this->*entry.handler)();
      return true;
    }
  }
  return toneControls_.OnCommand(id, code) || stationControls_.OnCommand(id, code);
}

void MainDlg::OnHScroll() {
  stationControls_.OnScroll();
  toneControls_.OnScroll();
}

intptr_t MainDlg::SendMessage(uint32_t message, uintptr_t /*wParam*/, intptr_t /*lParam*/) {
  switch (message) {
    case WM_TX_DONE:
      station_.Run(StationCommand::TxDone);
      return 0;
    case WM_MENU_REFRESH:
    case WM_MENU_REFRESH_AGAIN:
      stationControls_.RefreshMenu();
      return 1;
    case WM_SHOW_KEYED_CHAR:
      stationControls_.ShowKeyedChar();
      return 1;
    default:
      return 0;
  }
}

void MainDlg::OnInitMenu() {
  if (notWindowsNT_) MenuItem(ID_OPTION_SPEAKER)->setEnabled(false);
  stationControls_.RefreshMenu();
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

bool MainDlg::CanQuit() { return station_.CanQuit(); }

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
  station_.StopWorkers();
  QDialog::done(result);
}

void MainDlg::CloseDevices() {
  // No device and no timer may outlive the dialog's run, whichever way it ended.
  keyer_.StopElementTimer();
  if (rx_.DeviceOpen()) rx_.CloseSndRx();
  rx_.FinishStopSignal();
  context_.Tx.CloseSndTx();
}

}  // namespace zudorave
