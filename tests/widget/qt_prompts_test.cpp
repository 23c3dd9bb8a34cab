// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_prompts.h"

#include <gtest/gtest.h>

namespace zudorave::testing {
namespace {

TEST(QtFileFilter, PairsBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter("Text Files (*.txt)|*.txt||"), "Text Files (*.txt)");
  EXPECT_EQ(QtFileFilter("Text|*.txt|All|*||"), "Text (*.txt);;All (*)");
  EXPECT_EQ(QtFileFilter(""), "");
  EXPECT_EQ(QtFileFilter("Odd|"), "Odd");
}

}  // namespace
}  // namespace zudorave::testing
