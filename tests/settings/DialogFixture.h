#pragma once

#include "store/Store.h"
#include "support/QtPrinters.h"
#include "support/StoreFields.h"
#include "support/Windows.h"

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
    flushDeletes();
  }

  template <class T, class... Args>
  T* open(Args&&... args) {
    auto* dialog = new T(store_, std::forward<Args>(args)...);
    dialog->show();
    dialogs_.emplace_back(dialog);
    return dialog;
  }

  // Windows closed with delete-on-close go now.

  // Every field differs from its default and from every other field.
  void markStore() {
    for (int k = 1; k <= Store::kFieldCount; ++k) store_.setField(k, QStringLiteral("f%1").arg(k));
  }
  QStringList fields() const { return storeFields(store_); }

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


}  // namespace kivo::test
