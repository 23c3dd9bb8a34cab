#include <QApplication>
#include <QLabel>

// Placeholder window until the main dialog lands.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel window("Zudorave");
  window.setWindowTitle("By Zuderiv");
  window.resize(400, 160);
  window.show();
  return app.exec();
}
