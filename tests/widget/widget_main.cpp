// The widget tests share one QApplication; Qt wants it on the main thread before any widget.
#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
