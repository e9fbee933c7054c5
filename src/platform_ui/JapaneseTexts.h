#pragma once

class QObject;

namespace kivo {

// Qt's own texts (file dialog captions and buttons) in Japanese, like the
// rest of the program, where the system has the translation. The translator
// is owned by `owner`. Returns whether it was found.
bool useJapaneseQtTexts(QObject* owner);

}  // namespace kivo
