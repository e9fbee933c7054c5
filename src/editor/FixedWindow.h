#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

namespace kivo {

// A small window of the editor with a fixed client area, a back colour of
// its own and labels in that colour; closing it unloads it.
class FixedWindow : public QWidget {
  Q_OBJECT
 public:
  // The colour of caption text in the standard desktop scheme.
  static inline const QColor kCaptionTextColour = Qt::white;

  FixedWindow(Qt::WindowFlags flags, const char* name, const QString& caption, int widthTwips,
              int heightTwips, const QColor& back);

 protected:
  // A label at a place given in twips; it wraps at blanks as the original's did.
  QLabel* addLabel(const char* name, const QString& text, int left, int top, int width,
                   int height);
  // The product logo at its natural size.
  QLabel* addLogo(const char* name, int left, int top);
};

}  // namespace kivo
