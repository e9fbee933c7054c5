#include "runner_ui/RunWindow.h"

#include "platform/Host.h"
#include "platform/Picture.h"
#include "platform_ui/WindowFrame.h"
#include "platform_ui/WindowGeometry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace kivo {
namespace {

constexpr int kDesignClientWidth = 8370;
constexpr int kDesignClientHeight = 6765;
constexpr int kPictureDesignSide = 375;

Qt::WindowFlags flagsFor(BorderStyle border) {
  return border == BorderStyle::None ? Qt::Window | Qt::FramelessWindowHint : kToolWindowFlags;
}

}  // namespace

RunWindow::RunWindow(const Store& store, Host& host, Clock& clock, RunVariant variant)
    : QWidget(nullptr),
      host_(host),
      machine_(store, *this, clock),
      border_(variant == RunVariant::Player ? BorderStyle::FixedSingle
                                            : BorderStyle::FixedToolWindow) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(variant == RunVariant::Player ? QString() : QStringLiteral("Form3"));
  // Only the player's run window has a taskbar entry, whatever its border.
  setWindowFlags(flagsFor(border_));
  setInTaskbar(*this, variant == RunVariant::Player);
  back_ = palette().color(QPalette::Window);

  picture_ = new QLabel(this);
  picture_->setObjectName(QStringLiteral("Picture1"));
  picture_->setGeometry(twipsRect(0, 0, kPictureDesignSide, kPictureDesignSide));
  picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture_->hide();

  for (int k = 1; k <= RunMachine::kButtonCount; ++k) {
    auto* b = new QPushButton(QString::number(k), this);
    b->setObjectName(QStringLiteral("Command%1").arg(k));
    b->setFixedSize(twipsSizeToPixels(kButtonWidthTwips, kButtonHeightTwips));
    b->hide();
    connect(b, &QPushButton::clicked, this, [this, k] { machine_.click(k); });
    buttons_[k - 1] = b;
  }

  client_ = twipsSizeToPixels(kDesignClientWidth, kDesignClientHeight);
  applyClientSize();
  centreOnScreen(*this);
  placedAt_ = frameTopLeft(*this);
  whenFramed(*this, [this] {
    if (!std::exchange(framedSinceShown_, true)) keepMaximised();
    keepOuterSize();
  });
}

QStringList RunWindow::printedTexts() const {
  QStringList texts;
  for (const Printed& p : printed_) texts << p.text;
  return texts;
}

void RunWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), back_);
  painter.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics metrics(font());
  for (const Printed& p : printed_)
    painter.drawText(0, static_cast<int>(p.row) * metrics.height() + metrics.ascent(), p.text);
}

void RunWindow::closeEvent(QCloseEvent* event) {
  // Closing ends the run like 終了; the launcher unloads the window.
  event->ignore();
  emit unloadRequested();
}

void RunWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  everShown_ = true;
  framedSinceShown_ = false;
  keepOuterSize();
}

void RunWindow::applyBorder(BorderStyle border) {
  border_ = border;
  // A window that was on screen may have been moved by the user meanwhile.
  if (everShown_) placedAt_ = frameTopLeft(*this);
  setWindowFlags(flagsFor(border));  // hides the window; the set-up shows it
  applyClientSize();
  moveFrameTo(*this, placedAt_);
}

void RunWindow::applyMaximised() {
  maximised_ = true;
  outer_.reset();
  // A window whose size is fixed stays small however maximised it says it is.
  releaseSize();
  offerMaximise(*this);
  setWindowState(Qt::WindowMaximized);
}

void RunWindow::applyNormalSize(int widthTwips, int heightTwips) {
  maximised_ = false;
  setWindowState(Qt::WindowNoState);
  outer_ = twipsSizeToPixels(widthTwips, heightTwips);
  fitOuterSize(frameMargins(*this));
  moveFrameTo(*this, placedAt_);
}

void RunWindow::fitOuterSize(const QMargins& frame) {
  usedFrame_ = frame;
  client_ = outer_->shrunkBy(frame).expandedTo(QSize(1, 1));
  applyClientSize();
}

void RunWindow::keepOuterSize() {
  // Some managers decorate a window differently once it is on screen; the
  // outer size then follows the frame it really got, once. The place stays
  // the one set: while the manager frames the window, Qt's idea of where it
  // stands passes through the frame's corner or the screen's.
  if (!outer_ || !isVisible() || maximised_) return;
  const auto frame = frameOnScreen(*this);
  if (!frame || *frame == usedFrame_) return;
  fitOuterSize(*frame);
  moveFrameTo(*this, placedAt_);
}

void RunWindow::keepMaximised() {
  // Under load a stale report of the states the window had while hidden
  // reached Qt after the show, and the window stayed at its design size:
  // ask again when the manager first frames it after the show (no delay
  // was needed under load), so that a user can still restore the window.
  if (maximised_ && isVisible() && !(windowState() & Qt::WindowMaximized))
    setWindowState(Qt::WindowMaximized);
}

void RunWindow::releaseSize() {
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// A sizable window may be resized by the user; the others keep their size.
void RunWindow::applyClientSize() {
  releaseSize();
  if (maximised_) return;
  resize(client_);
  if (border_ != BorderStyle::Sizable) setFixedSize(client_);
}

void RunWindow::moveButton(int button, int leftTwips, int topTwips) {
  buttons_.at(button - 1)->move(twipsToPixels(leftTwips, topTwips));
}

void RunWindow::setButtonVisible(int button, bool visible) {
  buttons_.at(button - 1)->setVisible(visible);
}

void RunWindow::showForRun() {
  // While the window was hidden, the window system's late reports of its
  // earlier geometry and states may have reached Qt (a report of states
  // from before the size code can tell Qt it is not maximised); the window
  // shows as it was set.
  if (maximised_) {
    setWindowState(Qt::WindowMaximized);
  } else {
    applyClientSize();
    moveFrameTo(*this, placedAt_);
  }
  show();
  emit shownForRun();
}

void RunWindow::setPictureVisible(bool visible) { picture_->setVisible(visible); }

bool RunWindow::loadPicture(const QString& path, QString* error) {
  // The old picture goes before the new one is read, and the new one moves
  // into the pixmap: a picture at the cap is held once, never twice.
  picture_->clear();
  QImage image;
  // The message names the file that was looked for, not the design path.
  if (!readImageFile(localPath(path), &image, error)) return false;
  // The box takes the picture's size, so that the whole picture shows.
  picture_->resize(image.size());
  picture_->setPixmap(QPixmap::fromImage(std::move(image)));
  return true;
}

void RunWindow::printText(const QString& text) {
  // Lines below the bottom edge are never seen, so a long run keeps no more
  // than a window full of text.
  const qint64 row = printRow_++;
  if (row * QFontMetrics(font()).height() < height()) printed_.push_back({row, text});
  update();
}

void RunWindow::clearText() {
  printed_.clear();
  printRow_ = 0;
  update();
}

void RunWindow::setBackColour(QRgb colour) {
  // Repainting the surface takes the printed text with it; the print
  // position stays where it was.
  back_ = QColor::fromRgb(colour);
  printed_.clear();
  update();
}

void RunWindow::beep() { host_.beep(); }

void RunWindow::showMessage(const QString& text) {
  QPointer<RunWindow> self(this);
  host_.messageFor(this, text, [self] {
    if (self) self->machine_.messageClosed();
  });
}

void RunWindow::reportHalt(const QString& message) { host_.messageFor(this, message, {}); }

void RunWindow::unload() { emit unloadRequested(); }

}  // namespace kivo
