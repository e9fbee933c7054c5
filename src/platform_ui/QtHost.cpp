#include "platform_ui/QtHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QMessageBox>

namespace kivo {
namespace {

// Room in the title bar besides the title: its buttons and margins.
constexpr int kTitleBarExtra = 120;

QMessageBox* makeBox(QWidget* parent, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, kMessageTitle, text, QMessageBox::NoButton,
                              parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // OK only, with no picture on it: a button of our own, since the standard
  // one is given the style's icon, and looking that up slows the first box.
  QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box->setDefaultButton(ok);
  box->setEscapeButton(ok);
  // A short text would make the box narrower than its own title. The box
  // sizes itself from its layout, so a strut in the layout widens it.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(kMessageTitle);
    grid->addItem(new QSpacerItem(title + kTitleBarExtra, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

}  // namespace

void QtHost::message(const QString& text) {
  makeBox(nullptr, text)->exec();  // deletes itself on close
}

void QtHost::messageFor(QWidget* window, const QString& text,
                        std::function<void()> closed) {
  // Placed over its window, but it keeps clicks away from every window of
  // the program, as every modal box does. Not open(): that makes any box
  // modal to its parent only.
  QMessageBox* box = makeBox(window, text);
  box->setWindowModality(Qt::ApplicationModal);
  QObject::connect(box, &QMessageBox::finished, box,
                   [closed = std::move(closed)](int) {
                     if (closed) closed();
                   });
  box->show();
}

QString QtHost::openFileName(const QString& current) {
  return QFileDialog::getOpenFileName(nullptr, QString(), current);
}

QString QtHost::saveFileName(const QString& current) {
  // Saving over a file asks nothing, as the program always did.
  return QFileDialog::getSaveFileName(nullptr, QString(), current, QString(),
                                      nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

void QtHost::beep() { QApplication::beep(); }

}  // namespace kivo
