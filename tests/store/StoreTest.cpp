#include "store/Store.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(Store, StartsWithTheDesignValues) {
  const Store store;
  for (int line = 1; line <= 20; ++line) EXPECT_EQ(store.programLine(line), "0");
  EXPECT_EQ(store.formSize(), "24");
  const char* places[] = {"8",  "16", "24", "33", "41",  "49",  "57",  "66",  "74",  "82",
                          "90", "99", "107", "115", "123", "132", "140", "148", "156", "165"};
  for (int b = 1; b <= 20; ++b) EXPECT_EQ(store.buttonPlace(b), places[b - 1]) << b;
  EXPECT_EQ(store.buttonSize(), "24");
  EXPECT_EQ(store.formShape(), "8");
  for (int s = 1; s <= 5; ++s)
    for (int c = 1; c <= 10; ++c) EXPECT_EQ(store.charSetting(s, c), "8");
}

TEST(Store, RolesAndNumbersNameTheSameFields) {
  Store store;
  for (int k = 1; k <= Store::kFieldCount; ++k) store.setField(k, QString::number(1000 + k));
  EXPECT_EQ(store.programLine(1), "1001");
  EXPECT_EQ(store.programLine(20), "1020");
  EXPECT_EQ(store.formSize(), "1021");
  EXPECT_EQ(store.buttonPlace(1), "1022");
  EXPECT_EQ(store.buttonPlace(20), "1041");
  EXPECT_EQ(store.buttonSize(), "1042");
  EXPECT_EQ(store.formShape(), "1043");
  EXPECT_EQ(store.charSetting(1, 1), "1044");
  EXPECT_EQ(store.charSetting(2, 1), "1054");
  EXPECT_EQ(store.charSetting(5, 10), "1093");
}

TEST(Store, KeepsAnyTextAsWritten) {
  Store store;
  store.setProgramLine(3, QStringLiteral(" 49"));
  store.setButtonPlace(2, QStringLiteral("abc"));
  store.setCharSetting(4, 7, QString());
  EXPECT_EQ(store.programLine(3), " 49");
  EXPECT_EQ(store.buttonPlace(2), "abc");
  EXPECT_EQ(store.charSetting(4, 7), "");
}

TEST(Store, FieldsOutsideTheRecordAreIgnored) {
  Store store;
  store.setField(0, QStringLiteral("1"));
  store.setField(94, QStringLiteral("1"));
  EXPECT_EQ(store.field(0), "");
  EXPECT_EQ(store.field(94), "");
}

TEST(Store, CanvasHoldsAProgram) {
  const Store store;
  EXPECT_GE(store.codePicture().width(), 94);
  EXPECT_GE(store.codePicture().height(), 2);
}

TEST(FieldLabel, NamesEachGroupForTheUser) {
  EXPECT_EQ(fieldLabel(3), "3行目");
  EXPECT_EQ(fieldLabel(21), "フォームの大きさ");
  EXPECT_EQ(fieldLabel(22), "ボタン1の配置");
  EXPECT_EQ(fieldLabel(41), "ボタン20の配置");
  EXPECT_EQ(fieldLabel(42), "ボタンの大きさ");
  EXPECT_EQ(fieldLabel(43), "フォームの形");
  EXPECT_EQ(fieldLabel(44), "文字設定１の1文字目");
  EXPECT_EQ(fieldLabel(93), "文字設定５の10文字目");
}

}  // namespace
}  // namespace kivo
