#include "core/settings_value.h"

#include <cctype>

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct ReadCase {
  const char* text;
  ValueTextKind kind;
  std::int32_t value;
};

class ValueTextReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ValueTextReading, GivesTheDocumentedNumber) {
  const ReadCase& c = GetParam();
  const ParsedValue parsed = ParseValueText(c.text);
  EXPECT_EQ(parsed.kind, c.kind) << '"' << c.text << '"';
  if (c.kind == ValueTextKind::Number) {
    EXPECT_EQ(parsed.value, c.value) << '"' << c.text << '"';
  }
}

constexpr auto N = ValueTextKind::Number;
constexpr auto I = ValueTextKind::Invalid;
constexpr auto M = ValueTextKind::Missing;

INSTANTIATE_TEST_SUITE_P(
    Table, ValueTextReading,
    ::testing::Values(
        ReadCase{"7", N, 7}, ReadCase{" 7", N, 7}, ReadCase{"7 ", N, 7}, ReadCase{"\t 7\t", N, 7},
        ReadCase{"+7", N, 7}, ReadCase{"-3", N, -3}, ReadCase{"007", N, 7}, ReadCase{"0", N, 0},
        ReadCase{"-0", N, 0},
        // halves go to the even neighbour, other fractions to the nearest
        ReadCase{"2.5", N, 2}, ReadCase{"3.5", N, 4}, ReadCase{"0.5", N, 0},
        ReadCase{"-2.5", N, -2}, ReadCase{"-3.5", N, -4}, ReadCase{"2.51", N, 3},
        ReadCase{"2.49999", N, 2}, ReadCase{"2.500000001", N, 3}, ReadCase{"7.", N, 7},
        ReadCase{".5", N, 0}, ReadCase{".6", N, 1},
        // the 32-bit range, checked after rounding
        ReadCase{"2147483647", N, 2147483647}, ReadCase{"2147483648", I, 0},
        ReadCase{"-2147483648", N, -2147483647 - 1}, ReadCase{"-2147483649", I, 0},
        ReadCase{"2147483647.5", I, 0}, ReadCase{"2147483646.5", N, 2147483646},
        ReadCase{"-2147483648.5", N, -2147483647 - 1}, ReadCase{"-2147483648.6", I, 0},
        ReadCase{"99999999999999999999999999", I, 0},
        // empty after the blanks: missing
        ReadCase{"", M, 0}, ReadCase{"   ", M, 0}, ReadCase{"\t", M, 0},
        // not numbers
        ReadCase{"abc", I, 0}, ReadCase{"5abc", I, 0}, ReadCase{"1,000", I, 0},
        ReadCase{"&H10", I, 0}, ReadCase{"1e3", I, 0}, ReadCase{"1 000", I, 0},
        ReadCase{"+", I, 0}, ReadCase{"-", I, 0}, ReadCase{".", I, 0}, ReadCase{"--5", I, 0},
        ReadCase{"5-", I, 0}, ReadCase{"1.2.3", I, 0}, ReadCase{"0x10", I, 0}),
    [](const ::testing::TestParamInfo<ReadCase>& info) {
      std::string name = "case" + std::to_string(info.index) + "_";
      for (const char* c = info.param.text; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

TEST(ValueTextWriting, NonNegativeValuesGetOneLeadingBlank) {
  EXPECT_EQ(FormatValueText(5), " 5");
  EXPECT_EQ(FormatValueText(200), " 200");
  EXPECT_EQ(FormatValueText(0), " 0");
  EXPECT_EQ(FormatValueText(2147483647), " 2147483647");
}

TEST(ValueTextWriting, NegativeValuesGetTheirMinusSignOnly) {
  EXPECT_EQ(FormatValueText(-3), "-3");
  EXPECT_EQ(FormatValueText(-2147483647 - 1), "-2147483648");
}

TEST(ValueTextWriting, WrittenTextReadsBackAsTheSameNumber) {
  for (std::int32_t value : {-2147483647 - 1, -1, 0, 1, 30, 400, 2147483647}) {
    const ParsedValue parsed = ParseValueText(FormatValueText(value));
    ASSERT_EQ(parsed.kind, ValueTextKind::Number);
    EXPECT_EQ(parsed.value, value);
  }
}

TEST(StrictNumber, RejectsEmptyAndNonNumbers) {
  EXPECT_EQ(StrictNumber(" 1234 "), 1234);
  EXPECT_EQ(StrictNumber(""), std::nullopt);
  EXPECT_EQ(StrictNumber("x"), std::nullopt);
  EXPECT_EQ(StrictNumber("12abc"), std::nullopt);
}

}  // namespace
}  // namespace vorn
