// SPDX-License-Identifier: GPL-3.0-or-later
// The widget tests share one QApplication; Qt wants it on the main thread before any widget.
#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Test discovery runs this without the test session around it.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
