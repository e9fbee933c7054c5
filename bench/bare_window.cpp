// The floor for the programs' start-up: a Qt window with nothing in it.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.show();
  return app.exec();
}
