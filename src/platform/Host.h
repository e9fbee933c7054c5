#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kivo {

// The title of every message box of both programs (two blanks).
inline const QString kMessageTitle = QStringLiteral("KORVANEST  KIVO3.0");

// What the programs ask of the desktop: message boxes, file dialogs and the
// beep. One Qt implementation; tests give a scripted fake that answers.
class Host {
 public:
  virtual ~Host() = default;

  // Modal box with an OK button only, no icon, the program's title.
  virtual void message(const QString& text) = 0;

  // The same box over `window`; returns at once and calls `closed` once the
  // user has closed it. Until then no window of the program takes a click.
  virtual void messageFor(QWidget* window, const QString& text,
                          std::function<void()> closed) = 0;

  // Modal file dialogs starting at `current`; an empty result means cancel.
  virtual QString openFileName(const QString& current) = 0;
  virtual QString saveFileName(const QString& current) = 0;

  virtual void beep() = 0;
};

}  // namespace kivo
