#pragma once

#include <QSize>
#include <QString>

class QPushButton;
class QRect;
class QWidget;

namespace kivo {

// Gives a settings dialog its fixed tool-window frame (a small title bar with
// a close box only), its client size in twips and its place in the middle of
// the screen. Closing it deletes it, which its FormSlot counts as unloaded.
void setUpToolWindow(QWidget& window, const QString& name, const QString& caption,
                     QSize clientTwips);

// The dialog's OK button, the one that stores what it holds and closes it.
QPushButton* addOkButton(QWidget& window, const QString& name, const QRect& twips);

}  // namespace kivo
