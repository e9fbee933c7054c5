// The fair floor for the programs' start-up: a window that shows one line of
// Japanese text pays for the font database and the first Japanese layout, as
// every window of the programs does.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  QLabel label(QStringLiteral("日本語の文字を一行だけ表示します。"), &window);
  window.show();
  return app.exec();
}
