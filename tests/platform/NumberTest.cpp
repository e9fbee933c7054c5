#include "platform/Number.h"

#include <gtest/gtest.h>

#include <optional>

namespace kivo {
namespace {

struct NumberCase {
  const char* tag;
  const char16_t* text;
  std::optional<double> value;
};

const NumberCase kNumberCases[] = {
    {"plain", u"49", 49},
    {"leadingBlank", u" 49", 49},
    {"trailingBlanks", u"49  ", 49},
    {"tab", u"\t8", 8},
    {"decimalPoint", u"8.0", 8},
    {"fraction", u"8.5", 8.5},
    {"noIntegerPart", u".5", 0.5},
    {"pointAtEnd", u"8.", 8},
    {"negative", u"-8", -8},
    {"plusSign", u"+16", 16},
    {"leadingZeros", u"0008", 8},
    {"negativeZero", u"-0", 0},
    {"empty", u"", std::nullopt},
    {"blanksOnly", u"   ", std::nullopt},
    {"letters", u"abc", std::nullopt},
    {"blankInside", u"4 9", std::nullopt},
    {"trailingLetter", u"49a", std::nullopt},
    {"signOnly", u"-", std::nullopt},
    {"pointOnly", u".", std::nullopt},
    {"twoPoints", u"1.2.3", std::nullopt},
    {"exponent", u"1e3", std::nullopt},
    {"hex", u"&H10", std::nullopt},
    {"blankAfterSign", u"- 8", std::nullopt},
    {"fullWidthDigits", u"２４", 24},
    {"fullWidthBlankAndSign", u"　－８", -8},
    {"minusSign", u"−8", -8},
    {"fullWidthMixed", u"1６５", 165},
};

class NumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTest, ReadsAsTheRuleSays) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(readNumber(QString::fromUtf16(c.text)), c.value);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberTest, ::testing::ValuesIn(kNumberCases),
                         [](const auto& info) { return std::string(info.param.tag); });

TEST(ReadInt32, WholeNumbersInRangeOnly) {
  EXPECT_EQ(readInt32(QStringLiteral("2147483647")), 2147483647);
  EXPECT_EQ(readInt32(QStringLiteral("-2147483648")), -2147483647 - 1);
  EXPECT_EQ(readInt32(QStringLiteral("8.0")), 8);
  EXPECT_EQ(readInt32(QStringLiteral("2147483648")), std::nullopt);
  EXPECT_EQ(readInt32(QStringLiteral("8.5")), std::nullopt);
  EXPECT_EQ(readInt32(QStringLiteral("")), std::nullopt);
}

}  // namespace
}  // namespace kivo
