#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("KORVANEST  KIVO3.0"));
  QMainWindow window;
  window.setObjectName(QStringLiteral("Form1"));
  window.setWindowTitle(QStringLiteral("KORVANEST   KIVO3.0"));
  window.show();
  return app.exec();
}
