#pragma once

#include "platform/Twips.h"
#include "platform_ui/WindowFrame.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace kivo {

// A title bar with a close box only, no minimise or maximise button.
inline constexpr Qt::WindowFlags kTitleBarFlags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                  Qt::WindowSystemMenuHint |
                                                  Qt::WindowCloseButtonHint;
// A fixed tool window: no owner, so a normal window with that title bar. Qt
// makes an owner-less Qt::Tool transient for its group leader, and xfwm4
// then keeps it above every other window of the program.
inline constexpr Qt::WindowFlags kToolWindowFlags = Qt::Window | kTitleBarFlags;

// A window that exists once and goes when it is closed: named, captioned,
// its client area fixed in twips, no taskbar entry.
inline void setUpFixedWindow(QWidget& window, Qt::WindowFlags flags, const QString& name,
                             const QString& caption, QSize clientTwips) {
  window.setWindowFlags(flags);
  window.setObjectName(name);
  window.setWindowTitle(caption);
  window.setAttribute(Qt::WA_DeleteOnClose);
  setInTaskbar(window, false);
  window.setFixedSize(twipsSizeToPixels(clientTwips));
}

// Fills the widget's background with a colour of its own.
inline void setBackColour(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

}  // namespace kivo
