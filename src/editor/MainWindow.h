#pragma once

#include "store/Store.h"

#include <QMainWindow>
#include <QString>

#include <array>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace kivo {

class Editor;

// Form1: the 20 program lines, the toolbar strip with the status caption,
// the monitor panel and the menu bar. It keeps nothing but what its controls
// show and the file dialogs' last name, which go when it is rebuilt.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Editor& editor);
  ~MainWindow() override;

  // The actions that are more than a call; every command is a row of the
  // menu table, which its toolbar image runs too.
  void open();
  void save();
  void run();

  // The run window has placed its buttons and shows itself.
  void showRunning();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createLines(QWidget* client);
  void createToolbar(QWidget* client);
  void createMonitorPanel(QWidget* client);
  void createMenus();
  void copyLinesToStore();
  bool isMenuShortcut(const QKeyEvent& key) const;
  void report(const QString& error);

  Editor& editor_;
  std::array<QLineEdit*, Store::kLineCount> lines_{};
  QLabel* status_ = nullptr;
  QGroupBox* monitor_ = nullptr;
  QString fileName_;
};

}  // namespace kivo
