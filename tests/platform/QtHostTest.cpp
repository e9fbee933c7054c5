#include "platform_ui/QtHost.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace kivo {
namespace {

// A box carries an OK button without a picture, is wide enough for its
// whole title, however short its text, and keeps clicks from every window.
TEST(QtHostBox, OkWithoutIconWideEnoughForTheTitleAndModalToAll) {
  for (const QString& text : {QString(), QStringLiteral("A"), QStringLiteral("何にもいじらないで開くを押してください。")}) {
    QWidget owner;
    QtHost host;
    bool closed = false;
    host.messageFor(&owner, text, [&] { closed = true; });
    auto* box = owner.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal) << "QDialog::open() makes it window-modal";
    EXPECT_EQ(box->windowTitle(), kMessageTitle);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    ASSERT_EQ(box->buttons().size(), 1);
    auto* ok = qobject_cast<QPushButton*>(box->buttons().front());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->icon().isNull()) << text.toStdString();
    EXPECT_EQ(box->defaultButton(), ok);
    EXPECT_GT(box->width(), QFontMetrics(QApplication::font()).horizontalAdvance(kMessageTitle) + 60)
        << text.toStdString();
    ok->click();
    EXPECT_TRUE(closed);
  }
}

}  // namespace
}  // namespace kivo
