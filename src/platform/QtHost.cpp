#include "platform/QtHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace kivo {
namespace {

QMessageBox* makeBox(QWidget* parent, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, kMessageTitle, text,
                              QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  return box;
}

}  // namespace

void QtHost::message(const QString& text) {
  QPointer<QMessageBox> box = makeBox(nullptr, text);
  box->exec();
}

void QtHost::messageFor(QWidget* window, const QString& text,
                        std::function<void()> closed) {
  QMessageBox* box = makeBox(window, text);
  box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
  QObject::connect(box, &QMessageBox::finished, box,
                   [closed = std::move(closed)](int) {
                     if (closed) closed();
                   });
  box->open();
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
