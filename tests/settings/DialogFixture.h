#pragma once

#include "store/Store.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace kivo::test {

// Settings dialogs made on a store of their own, as the editor's menu items
// make them; whatever a test leaves open goes with it.
class DialogTest : public ::testing::Test {
 protected:
  ~DialogTest() override {
    for (const QPointer<QWidget>& d : dialogs_) delete d.data();
    flush();
  }

  template <class T, class... Args>
  T* open(Args&&... args) {
    auto* dialog = new T(store_, std::forward<Args>(args)...);
    dialog->show();
    dialogs_.emplace_back(dialog);
    return dialog;
  }

  // Windows closed with delete-on-close go now.
  static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  // Every field differs from its default and from every other field.
  void markStore() {
    for (int k = 1; k <= Store::kFieldCount; ++k) store_.setField(k, QStringLiteral("f%1").arg(k));
  }
  QStringList fields() const {
    QStringList all;
    for (int k = 1; k <= Store::kFieldCount; ++k) all << store_.field(k);
    return all;
  }

  template <class T = QWidget>
  static T* child(QWidget* dialog, const QString& name) {
    T* found = dialog->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  static void click(QWidget* dialog, const QString& name) {
    QTest::mouseClick(child(dialog, name), Qt::LeftButton);
  }

  Store store_;

 private:
  std::vector<QPointer<QWidget>> dialogs_;
};

// Where a test leaves pictures of windows for a person to look at.
inline QString shotPath(const QString& file) {
  const QString folder = qEnvironmentVariable("KIVO_SHOTS", QDir::tempPath());
  QDir().mkpath(folder);
  return QDir(folder).filePath(file);
}

}  // namespace kivo::test
