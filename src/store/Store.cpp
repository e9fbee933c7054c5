#include "store/Store.h"

#include "platform/Number.h"
#include "store/Codes.h"

namespace kivo {
namespace {
// The drawing area of the original's canvas: 2055 x 495 twips.
constexpr int kCanvasWidth = 137;
constexpr int kCanvasHeight = 33;
}  // namespace

Store::Store() : codePicture_(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32) {
  for (int k = 1; k <= kFieldCount; ++k) fields_[k - 1] = defaultText(k);
  codePicture_.fill(Qt::white);
}

QString Store::field(int k) const {
  if (k < 1 || k > kFieldCount) return {};
  return fields_[k - 1];
}

void Store::setField(int k, const QString& text) {
  if (k < 1 || k > kFieldCount) return;
  fields_[k - 1] = text;
}

QString Store::defaultText(int k) {
  if (k >= 1 && k <= kLineCount) return QStringLiteral("0");
  if (k == kFormSizeField) return QString::number(kFormSizeMedium);
  if (k >= buttonPlaceField(1) && k <= buttonPlaceField(kButtonCount))
    return QString::number(placeCode(k - buttonPlaceField(1) + 1));
  if (k == kButtonSizeField) return QStringLiteral("24");
  if (k == kFormShapeField) return QString::number(kFormShapeSizable);
  if (k >= charSettingField(1, 1) && k <= kFieldCount)
    return QString::number(kCharBlank);
  return {};
}

QString fieldLabel(int k) {
  if (k >= 1 && k <= Store::kLineCount) return QStringLiteral("%1行目").arg(k);
  if (k == Store::kFormSizeField) return QStringLiteral("フォームの大きさ");
  if (k >= Store::buttonPlaceField(1) && k <= Store::buttonPlaceField(Store::kButtonCount))
    return QStringLiteral("ボタン%1の配置").arg(k - Store::buttonPlaceField(1) + 1);
  if (k == Store::kButtonSizeField) return QStringLiteral("ボタンの大きさ");
  if (k == Store::kFormShapeField) return QStringLiteral("フォームの形");
  if (k >= Store::charSettingField(1, 1) && k <= Store::kFieldCount) {
    const int i = k - Store::charSettingField(1, 1);
    // Written as the menus write it: "文字設定１".
    const QChar setting(char16_t(u'１' + i / 10));
    return QStringLiteral("文字設定%1の%2文字目").arg(setting).arg(i % 10 + 1);
  }
  return QStringLiteral("%1番目の値").arg(k);
}

}  // namespace kivo
