#pragma once

#include "editor/Editor.h"
#include "editor/MainWindow.h"
#include "platform/TimerSet.h"
#include "store/Store.h"
#include "support/FakeHost.h"
#include "support/QtPrinters.h"
#include "support/Windows.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kivo::test {

// An editor on a virtual clock, its dialogs answered by a fake host; not yet
// started.
class EditorHarness : public ::testing::Test {
 protected:
  explicit EditorHarness(SplashWindow::PixelReader colourReader = SplashWindow::readPixel)
      : editor{store, host, clock, std::move(colourReader)} {}

  // What a window manager does for a window that shows.
  void activate() {
    window()->activateWindow();
    QApplication::setActiveWindow(window());
  }

  MainWindow* window() const { return editor.mainWindow(); }

  template <class T = QWidget>
  T* control(const QString& name) const {
    T* found = window()->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QLineEdit* line(int k) const { return control<QLineEdit>(QStringLiteral("Text%1").arg(k)); }
  QString status() const { return control<QLabel>(QStringLiteral("Label22"))->text(); }

  void trigger(const char* item) { control<QAction>(QString::fromLatin1(item))->trigger(); }
  void click(const char* image) {
    QTest::mouseClick(control(QString::fromLatin1(image)), Qt::LeftButton);
  }

 public:
  // A top-level window of that name that is loaded and shown.
  static QWidget* shown(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
  }

 protected:

  void typeLines(const QStringList& texts) {
    for (int k = 1; k <= texts.size(); ++k) line(k)->setText(texts[k - 1]);
  }
  QStringList lineTexts() const {
    QStringList texts;
    for (int k = 1; k <= Store::kLineCount; ++k) texts << line(k)->text();
    return texts;
  }

 private:

 protected:
  Store store;
  FakeHost host;
  VirtualClock clock;

 private:
  FlushDeletesAtEnd flush_;  // after the editor goes, before the clock does

 protected:
  Editor editor{store, host, clock};
};

// A started editor, its main window active.
class EditorTest : public EditorHarness {
 protected:
  EditorTest() {
    editor.start();
    activate();
  }
};

}  // namespace kivo::test
