// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_template.h"

#include <gmock/gmock.h>

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <map>
#include <set>

#include "dialog_fixture.h"
#include "ui/about_dlg.h"
#include "ui/controls.h"
#include "ui/dialog_units.h"
#include "ui/menu_resource.h"
#include "ui/up_down.h"

namespace zudorave::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
  const DialogUnits units{6, 13};
  EXPECT_EQ(units.ToPixels(230, 52, 24, 13), QRect(345, 84, 36, 21));
  EXPECT_EQ(units.ToPixels(7, 0, 261, 103), QRect(10, 0, 391, 167));
  const DialogUnits fromFont = DialogUnits::ForFont(QFont());
  EXPECT_GT(fromFont.baseX, 0);
  EXPECT_GT(fromFont.baseY, fromFont.baseX);
}

TEST(ControlTexts, MnemonicsAreNotReadOut) {
  EXPECT_EQ(AccessibleText("&Transmit"), "Transmit");
  EXPECT_EQ(AccessibleText("E&xit"), "Exit");
  EXPECT_EQ(AccessibleText("A+B+C"), "A+B+C");
}

using MainTemplate = DialogTest;

TEST_F(MainTemplate, EveryControlIsBuiltWithItsIdPlaceAndState) {
  Start();
  const DialogUnits units = DialogUnits::ForFont(dlg->font());
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == IDC_STATIC) continue;
    SCOPED_TRACE(control.id);
    QWidget* widget = dlg->Control(control.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), QString::number(control.id));
    EXPECT_EQ(widget->geometry(),
              units.ToPixels(control.x, control.y, control.width, control.height));
    EXPECT_EQ(!widget->isHidden(), control.shown);
    EXPECT_EQ(widget->isEnabled(), control.enabled || control.id == IDC_TRANSMIT);
    if (control.text[0] != '\0') {
      EXPECT_EQ(widget->accessibleName(), AccessibleText(control.text));
    }
  }
}

TEST_F(MainTemplate, ControlsHaveTheirKinds) {
  Start();
  for (int id : {1043, 1039, 1040, 1041, 1042}) {
    auto* radio = qobject_cast<QPushButton*>(dlg->Control(id));
    ASSERT_NE(radio, nullptr);
    EXPECT_TRUE(radio->isCheckable());
    EXPECT_TRUE(radio->autoExclusive());
  }
  for (int id : {1038, 1052, 1053, 1044}) {
    auto* check = qobject_cast<QPushButton*>(dlg->Control(id));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isCheckable());
    EXPECT_FALSE(check->autoExclusive());
  }
  for (int id : {1000, 1014, 1021, 1032, 1033}) {
    EXPECT_FALSE(qobject_cast<QPushButton*>(dlg->Control(id))->isCheckable());
  }
  for (int id : {1001, 1002, 1007}) {
    auto* slider = qobject_cast<QSlider*>(dlg->Control(id));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
  }
  EXPECT_NE(qobject_cast<QCheckBox*>(dlg->Control(1022)), nullptr);
  EXPECT_NE(qobject_cast<QPlainTextEdit*>(dlg->Control(1013)), nullptr);
  EXPECT_EQ(qobject_cast<QLabel*>(dlg->Control(1030))->alignment() & Qt::AlignRight,
            Qt::AlignRight);
  EXPECT_EQ(qobject_cast<UpDown*>(dlg->Control(1055))->Buddy(), dlg->Control(1054));
  EXPECT_EQ(qobject_cast<UpDown*>(dlg->Control(1057))->Buddy(), dlg->Control(1056));
  std::vector<std::string> groups;
  for (auto* box : dlg->findChildren<QGroupBox*>()) groups.push_back(box->title().toStdString());
  EXPECT_THAT(groups, UnorderedElementsAre("10-2000 Hz", "100-4000 Hz", "1000-18000 Hz"));
}

TEST_F(MainTemplate, TabOrderFollowsTheTemplate) {
  Start();
  dlg->show();
  std::vector<QString> order;
  QWidget* first = dlg->Control(IDC_PRODUCT);
  QWidget* at = first;
  do {
    order.push_back(at->objectName());
    at = at->nextInFocusChain();
    while (at != first && (!at->isVisibleTo(dlg.get()) || at->focusPolicy() == Qt::NoFocus ||
                           !at->isEnabled() || at->objectName().isEmpty())) {
      at = at->nextInFocusChain();
    }
  } while (at != first);
  EXPECT_THAT(order, ElementsAre("1043", "1001", "1038", "1039", "1040", "1041", "1042", "1052",
                                 "1053", "1054", "1056"));
}

TEST_F(MainTemplate, TheMenuHasItsPopupsItemsAndIds) {
  Start();
  std::vector<QString> popups;
  std::vector<QString> items;
  for (QAction* popup : dlg->MenuBar()->actions()) {
    popups.push_back(popup->text());
    for (QAction* item : popup->menu()->actions()) {
      items.push_back(item->isSeparator() ? "-" : item->objectName() + " " + item->text());
    }
  }
  EXPECT_THAT(popups, ElementsAre("&File", "&Option", "Config", "&Help"));
  EXPECT_THAT(items,
              ElementsAre("32790 &Open\tCtrl+O", "-", "32792 &Save\tCtrl+S",
                          "32796 Save As \tCtrl+A", "-", "32795 E&xit", "32798 &Sinus",
                          "32799 &Use Speaker", "32803 &Ignore Spaces", "32804 &Receive",
                          "32800 &Transmit", "32802 &Manual", "32801 &Stop", "32791 &About"));
  // The key labels are labels: no item is bound to a key.
  for (QAction* item : dlg->MenuBar()->findChildren<QAction*>()) {
    EXPECT_TRUE(item->shortcut().isEmpty());
  }
  for (int id : {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
    EXPECT_FALSE(dlg->MenuItem(id)->isEnabled());
  }
}

TEST_F(MainTemplate, MenusOpenFromTheKeyboard) {
  Start();
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QTest::keyClick(dlg.get(), Qt::Key_O, Qt::AltModifier);
  QMenu* option = dlg->MenuBar()->findChild<QMenu*>("Option");
  ASSERT_TRUE(QTest::qWaitFor([&] { return option->isVisible(); }, 1000));
  QTest::keyClick(option, Qt::Key_S);  // &Sinus
  QCoreApplication::processEvents();   // the command comes as a queued call
  EXPECT_FALSE(objects->Tx.Sinus());
}

TEST_F(MainTemplate, ControlsAreExposedUnderTheirTexts) {
  Start();
  dlg->show();
  std::set<QString> names;
  for (QWidget* widget : dlg->findChildren<QWidget*>()) {
    if (widget->isHidden()) continue;
    if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget)) {
      names.insert(face->text(QAccessible::Name));
    }
  }
  for (const char* name :
       {"AF1", "AF2", "AF3", "LSB", "USB", "DSB", "A+B+C", "A*B*C", "10-2000 Hz", "100-4000 Hz",
        "1000-18000 Hz", "Less", "More", "AF1 frequency", "AF2 frequency", "AF3 frequency",
        "AF2 frequency arrows", "AF3 frequency arrows"}) {
    EXPECT_TRUE(names.contains(name)) << name;
  }
  // Every control a user can work is named and has a tooltip; the frequency controls give the
  // range their handler applies.
  const std::map<int, QString> ranges = {{IDC_AF1_SLIDER, "10-2000 Hz"}, {IDC_AF1, "10-2000 Hz"},
                                         {IDC_AF2_EDIT, "100-4000 Hz"},  {IDC_AF2, "100-4000 Hz"},
                                         {IDC_AF3_EDIT, "300-18000 Hz"}, {IDC_AF3, "300-18000 Hz"}};
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    const int id = control.id;
    QWidget* widget = dlg->Control(id);
    if (widget == nullptr || widget->isHidden() || qobject_cast<QLabel*>(widget) != nullptr) {
      continue;
    }
    SCOPED_TRACE(id);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
    const QString tip = face->text(QAccessible::Description);
    EXPECT_FALSE(tip.isEmpty());
    if (ranges.contains(id)) {
      EXPECT_TRUE(tip.contains(ranges.at(id))) << tip.toStdString();
    }
  }
  for (int id : {ID_OPTION_SINUS, ID_OPTION_SPEAKER, ID_OPTION_IGNORE_SPACES}) {
    EXPECT_NE(dlg->MenuItem(id)->toolTip(), dlg->MenuItem(id)->iconText()) << id;
  }
  EXPECT_TRUE(dlg->MenuBar()->findChild<QMenu*>("Option")->toolTipsVisible());
}

TEST(AboutTemplate, IconVersionAuthorAndOk) {
  AboutDlg about;
  std::vector<QString> lines;
  for (QLabel* label : about.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) {
      lines.push_back(label->text());
    } else {
      EXPECT_EQ(label->pixmap().size(), QSize(32, 32));
    }
  }
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].contains("version"));
  EXPECT_TRUE(lines[1].contains("Zuderiv"));
  auto* ok = about.findChild<QPushButton*>("1");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
}

}  // namespace
}  // namespace zudorave::testing
