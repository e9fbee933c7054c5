#pragma once

#include "runner/RunMachine.h"
#include "runner_ui/RunVariant.h"
#include "runner/RunView.h"

#include <QColor>
#include <QMargins>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;

namespace kivo {

class Host;

// The run window, Form3: twenty run buttons, a picture box, text printed on
// its own surface and a back colour, all driven by its RunMachine.
class RunWindow final : public QWidget, private RunView {
  Q_OBJECT
 public:
  RunWindow(const Store& store, Host& host, Clock& clock, RunVariant variant);

  RunMachine& machine() { return machine_; }
  QPushButton* button(int k) const { return buttons_.at(k - 1); }
  QLabel* picture() const { return picture_; }
  // The texts printed since the surface was last cleared, top to bottom.
  QStringList printedTexts() const;
  BorderStyle borderStyle() const { return border_; }

 signals:
  void shownForRun();
  void unloadRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void applyBorder(BorderStyle border) override;
  void applyMaximised() override;
  void applyNormalSize(int widthTwips, int heightTwips) override;
  void moveButton(int button, int leftTwips, int topTwips) override;
  void setButtonVisible(int button, bool visible) override;
  void showForRun() override;
  void setPictureVisible(bool visible) override;
  bool loadPicture(const QString& path, QString* error) override;
  void printText(const QString& text) override;
  void clearText() override;
  void setBackColour(QRgb colour) override;
  void beep() override;
  void showMessage(const QString& text) override;
  void reportHalt(const QString& message) override;
  void unload() override;

  void applyClientSize();
  void releaseSize();
  // Sizes are outer sizes: the client area is what the frame leaves.
  void fitOuterSize(const QMargins& frame);
  void keepMaximised();
  void keepOuterSize();

  struct Printed {
    qint64 row;
    QString text;
  };

  Host& host_;
  RunMachine machine_;
  std::array<QPushButton*, RunMachine::kButtonCount> buttons_{};
  QLabel* picture_ = nullptr;
  BorderStyle border_;
  QColor back_;
  // Geometry as the set-up gave it: Qt's own idea of a hidden window's
  // geometry can lag behind the window system's reports.
  QSize client_;
  QPoint placedAt_;             // the frame's top left corner
  std::optional<QSize> outer_;  // the size a size code asked for, frame included
  QMargins usedFrame_;          // the frame that size was fitted to
  bool everShown_ = false;
  bool framedSinceShown_ = false;
  bool maximised_ = false;      // as the size code asked, whatever Qt was told since
  std::vector<Printed> printed_;
  qint64 printRow_ = 0;  // the print position, in lines from the top
};

}  // namespace kivo
