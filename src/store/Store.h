#pragma once

#include <QImage>
#include <QString>

#include <array>

namespace kivo {

// The one record of the program and its settings: 93 fields of decimal text.
// Field K (1..93) is also the colour of pixel (K, 1) of a program file. Any
// text may be written into any field; readers take it as a number.
class Store {
 public:
  static constexpr int kFieldCount = 93;
  static constexpr int kLineCount = 20;
  static constexpr int kButtonCount = 20;
  static constexpr int kSettingCount = 5;
  static constexpr int kCharsPerSetting = 10;

  // Field numbers by role.
  static constexpr int programLineField(int line) { return line; }
  static constexpr int kFormSizeField = 21;
  static constexpr int buttonPlaceField(int button) { return 21 + button; }
  static constexpr int kButtonSizeField = 42;
  static constexpr int kFormShapeField = 43;
  static constexpr int charSettingField(int setting, int ch) {
    return 44 + 10 * (setting - 1) + (ch - 1);
  }

  Store();

  // Field K as text, K = 1..93; an out-of-range K reads as empty text and
  // writes nothing.
  QString field(int k) const;
  void setField(int k, const QString& text);
  static QString defaultText(int k);

  QString programLine(int line) const { return field(programLineField(line)); }
  void setProgramLine(int line, const QString& t) { setField(programLineField(line), t); }
  QString formSize() const { return field(kFormSizeField); }
  void setFormSize(const QString& t) { setField(kFormSizeField, t); }
  QString buttonPlace(int button) const { return field(buttonPlaceField(button)); }
  void setButtonPlace(int button, const QString& t) { setField(buttonPlaceField(button), t); }
  QString buttonSize() const { return field(kButtonSizeField); }
  void setButtonSize(const QString& t) { setField(kButtonSizeField, t); }
  QString formShape() const { return field(kFormShapeField); }
  void setFormShape(const QString& t) { setField(kFormShapeField, t); }
  QString charSetting(int setting, int ch) const { return field(charSettingField(setting, ch)); }
  void setCharSetting(int setting, int ch, const QString& t) {
    setField(charSettingField(setting, ch), t);
  }

  // The canvas a program file is drawn on and read from. It keeps what was
  // drawn or loaded last; only pixels (1..93, 1) carry data.
  QImage& codePicture() { return codePicture_; }
  const QImage& codePicture() const { return codePicture_; }

 private:
  std::array<QString, kFieldCount> fields_;
  QImage codePicture_;
};

// How a field is named to the user in a message ("3行目", "フォームの大きさ").
QString fieldLabel(int k);

}  // namespace kivo
