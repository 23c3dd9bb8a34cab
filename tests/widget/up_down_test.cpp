// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/up_down.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace zudorave::testing {
namespace {

TEST(UpDownText, PositionsAreWrittenWithThousandsSeparators) {
  EXPECT_EQ(UpDown::Format(300), "300");
  EXPECT_EQ(UpDown::Format(2400), "2,400");
  EXPECT_EQ(UpDown::Format(15000), "15,000");
  EXPECT_EQ(UpDown::Format(1234567), "1,234,567");
  EXPECT_EQ(UpDown::Format(-1000), "-1,000");
}

TEST(UpDownText, ReadingAcceptsNumbersWithSeparatorsOnly) {
  EXPECT_EQ(UpDown::Parse("2,400"), 2400);
  EXPECT_EQ(UpDown::Parse(" 0300 "), 300);
  EXPECT_EQ(UpDown::Parse("-5"), -5);
  EXPECT_EQ(UpDown::Parse("2147483647"), 2147483647);
  for (const char* text : {"", " ", "-", ",5", "5x", "x5", "1 2", "+5", "2147483648",
                           "99999999999999999999", "--5", "5-"}) {
    EXPECT_EQ(UpDown::Parse(text), std::nullopt) << text;
  }
}

class UpDownControl : public ::testing::Test {
 protected:
  QLineEdit buddy;
  UpDown spin;
  void SetUp() override {
    spin.SetBuddy(&buddy);
    spin.SetRange(100, 4000);
    spin.SetPos(2400);
  }
};

TEST_F(UpDownControl, GetPosReadsTheBuddyAndFlagsBadText) {
  buddy.setText("3,000");
  EXPECT_EQ(spin.GetPos().value, 3000);
  EXPECT_FALSE(spin.GetPos().invalid);
  for (const char* text : {"abc", "99", "4001", ""}) {
    buddy.setText(text);
    const UpDown::Position position = spin.GetPos();
    EXPECT_TRUE(position.invalid) << text;
    EXPECT_EQ(position.value, 3000) << text;  // the last good one
  }
}

TEST_F(UpDownControl, StepsWrapAtBothEnds) {
  buddy.setText("4000");
  spin.Step(+1);
  EXPECT_EQ(buddy.text(), "100");
  spin.Step(-1);
  EXPECT_EQ(buddy.text(), "4,000");
}

TEST_F(UpDownControl, StepsStartFromTheTypedValueAndNotify) {
  QSignalSpy scrolled(&spin, &UpDown::Scrolled);
  buddy.setText("999");
  spin.Step(+1);
  EXPECT_EQ(buddy.text(), "1,000");
  buddy.setText("junk");
  spin.Step(+1);
  EXPECT_EQ(buddy.text(), "1,001");
  EXPECT_EQ(scrolled.count(), 2);
}

TEST_F(UpDownControl, ArrowKeysInTheBuddyStep) {
  QTest::keyClick(&buddy, Qt::Key_Up);
  EXPECT_EQ(buddy.text(), "2,401");
  QTest::keyClick(&buddy, Qt::Key_Down);
  QTest::keyClick(&buddy, Qt::Key_Down);
  EXPECT_EQ(buddy.text(), "2,399");
}

}  // namespace
}  // namespace zudorave::testing
