// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/test_hooks.h"

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "ui/dialog_template.h"
#include "ui/menu_resource.h"

namespace zudorave {

namespace {

// Milliseconds since the process started, from the kernel's clock-tick counts.
double MillisecondsSinceStart() {
  QFile stat("/proc/self/stat");
  QFile uptime("/proc/uptime");
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.value(19).toDouble();  // field 22 of the whole line
  const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
  return (upSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

QByteArray ResidentKilobytes() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return "?";
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0);
  }
  return "?";
}

void AnswerMessageBoxes() {
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
    box->done(QMessageBox::Ok);
  }
}

class ShownWatcher : public QObject {
 public:
  ShownWatcher(MainDlg& dialog, std::function<void()> onShown)
      : QObject(&dialog), onShown_(std::move(onShown)) {
    dialog.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show && onShown_) {
      QTimer::singleShot(0, parent(), std::exchange(onShown_, nullptr));
    }
    return false;
  }

 private:
  std::function<void()> onShown_;
};

// Writes "NAME<tab>TEXT" for each text box and label with an accessible name, line breaks as
// spaces, replacing the file whole so a reader never sees half of it.
void WriteNamedTexts(MainDlg& dialog, const QString& path) {
  QByteArray lines;
  auto add = [&lines](const QString& name, QString text) {
    if (!name.isEmpty()) lines += (name + '\t' + text.replace('\n', ' ') + '\n').toUtf8();
  };
  for (auto* box : dialog.findChildren<QPlainTextEdit*>())
    add(box->accessibleName(), box->toPlainText());
  for (auto* label : dialog.findChildren<QLabel*>()) add(label->accessibleName(), label->text());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(lines);
  file.commit();
}

}  // namespace

// Writes "id x y" lines, the screen position of each shown control's centre, and "menu NAME
// x y" for each menu title, for a test that clicks them. A menu, once open, appends its items
// as "item ID x y", with " off" after a greyed one.
void WriteControlMap(MainDlg& dialog, const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  auto write = [&file](const QString& what, const QPoint& centre) {
    file.write(QString("%1 %2 %3\n").arg(what).arg(centre.x()).arg(centre.y()).toUtf8());
  };
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    QWidget* widget = dialog.Control(control.id);
    if (widget == nullptr || !widget->isVisible()) continue;
    write(QString::number(control.id), widget->mapToGlobal(widget->rect().center()));
  }
  QMenuBar* bar = dialog.MenuBar();
  for (QMenu* popup : bar->findChildren<QMenu*>()) {
    if (popup->objectName().isEmpty()) continue;
    const QRect title = bar->actionGeometry(popup->menuAction());
    write("menu " + popup->objectName(), bar->mapToGlobal(title.center()));
    QObject::connect(popup, &QMenu::aboutToShow, popup, [popup, path] {
      QTimer::singleShot(100, popup, [popup, path] {
        QFile items(QString::fromStdString(path));
        if (!items.open(QIODevice::Append)) return;
        for (QAction* action : popup->actions()) {
          if (action->isSeparator()) continue;
          const QPoint centre = popup->mapToGlobal(popup->actionGeometry(action).center());
          items.write(QString("item %1 %2 %3%4\n")
                          .arg(action->objectName())
                          .arg(centre.x())
                          .arg(centre.y())
                          .arg(action->isEnabled() ? "" : " off")
                          .toUtf8());
        }
      });
    });
  }
}

void InstallTestHooks(MainDlg& dialog, const Environment& environment) {
  if (const auto controlMap = environment.Get("ZUDORAVE_CONTROL_MAP")) {
    new ShownWatcher(dialog, [&dialog, path = *controlMap] { WriteControlMap(dialog, path); });
  }
  if (const auto texts = environment.Get("ZUDORAVE_NAMED_TEXTS")) {
    auto* writer = new QTimer(&dialog);
    QObject::connect(
        writer, &QTimer::timeout, &dialog,
        [&dialog, path = QString::fromStdString(*texts)] { WriteNamedTexts(dialog, path); });
    writer->start(200);
  }
  const auto exitWhenShown = environment.Get("ZUDORAVE_EXIT_WHEN_SHOWN");
  const auto screenshot = environment.Get("ZUDORAVE_SCREENSHOT");
  if (!exitWhenShown && !screenshot) return;

  auto* answerer = new QTimer(&dialog);
  QObject::connect(answerer, &QTimer::timeout, &dialog, AnswerMessageBoxes);
  answerer->start(200);

  if (exitWhenShown) {
    new ShownWatcher(dialog, [&dialog] {
      std::printf("shown-ms %.0f\nrss-kb %s\n", MillisecondsSinceStart(),
                  ResidentKilobytes().constData());
      std::fflush(stdout);
      dialog.reject();
    });
    return;
  }

  const QString file = QString::fromStdString(*screenshot);
  const QString menuName =
      QString::fromStdString(environment.Get("ZUDORAVE_SCREENSHOT_MENU").value_or(""));
  new ShownWatcher(dialog, [&dialog, file, menuName] {
    // A modal dialog runs inside its command; a timer grabs it once it shows, past any
    // message box before it.
    const std::map<QString, std::function<void()>> modalRuns = {
        {"About", [&dialog] { dialog.OnSysCommand(IDM_ABOUTBOX); }},
        {"Transmit", [&dialog] { dialog.OnCommand(ID_CONFIG_MANUAL, BN_CLICKED); }},
    };
    if (const auto run = modalRuns.find(menuName); run != modalRuns.end()) {
      auto* waiter = new QTimer(&dialog);
      QObject::connect(waiter, &QTimer::timeout, &dialog, [waiter, file] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || qobject_cast<QMessageBox*>(modal) != nullptr) return;
        waiter->stop();
        QTimer::singleShot(500, modal, [modal, file] {
          const QRect area = modal->frameGeometry();
          modal->screen()
              ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
              .save(file);
          modal->close();
        });
      });
      waiter->start(100);
      run->second();
      dialog.reject();
      return;
    }
    QMenu* popup = menuName.isEmpty() ? nullptr : dialog.MenuBar()->findChild<QMenu*>(menuName);
    if (popup != nullptr) dialog.MenuBar()->setActiveAction(popup->menuAction());
    QTimer::singleShot(700, &dialog, [&dialog, file, popup] {
      QRect area = dialog.frameGeometry();
      if (popup != nullptr && popup->isVisible()) area |= popup->geometry();
      area.adjust(-4, -4, 4, 4);
      QScreen* screen = dialog.screen();
      const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
      shot.save(file);
      if (popup != nullptr) popup->close();
      dialog.reject();
    });
  });
}

}  // namespace zudorave
