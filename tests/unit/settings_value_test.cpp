// Reading and writing the value texts of the settings file.
#include "core/settings_value.h"

#include "table_test.h"

namespace vorn {
namespace {

struct ReadingCase {
  const char* name;
  const char* text;
  ValueTextKind kind;
  std::int32_t value;  // for a number
};
using Reading = ::testing::TestWithParam<ReadingCase>;

// Each rule of the reading broken: blanks, sign, fraction, the half to even, the range checked
// before rounding or not at all, the 64-bit accumulator overflowing, text accepted around digits.
TEST_P(Reading, FollowsEachRuleOfTheValueText) {
  const ReadingCase& c = GetParam();
  const ParsedValue parsed = ParseValueText(c.text);
  EXPECT_EQ(parsed.kind, c.kind);
  if (c.kind == ValueTextKind::Number) {
    EXPECT_EQ(parsed.value, c.value);
  }
  EXPECT_EQ(StrictNumber(c.text),
            c.kind == ValueTextKind::Number ? std::optional(c.value) : std::nullopt);
}

constexpr auto kNumber = ValueTextKind::Number, kInvalid = ValueTextKind::Invalid,
               kMissing = ValueTextKind::Missing;
// clang-format off
VORN_TABLE(Reading,
    {"Empty", "", kMissing, 0}, {"Blanks_only", " \t ", kMissing, 0}, {"Plain", "7", kNumber, 7},
    {"Blanks_around", " \t7\t ", kNumber, 7}, {"Plus", "+7", kNumber, 7},
    {"Minus", "-7", kNumber, -7}, {"Leading_zeros", "007", kNumber, 7},
    {"Half_to_even_down", "2.5", kNumber, 2}, {"Half_to_even_up", "3.5", kNumber, 4},
    {"Minus_half_even", "-2.5", kNumber, -2}, {"Minus_half_odd", "-3.5", kNumber, -4},
    {"Below_half", "2.4999", kNumber, 2}, {"Above_half_far_digit", "2.5000001", kNumber, 3},
    {"Half_with_zeros", "2.5000", kNumber, 2}, {"Point_no_fraction", "5.", kNumber, 5},
    {"Fraction_only", ".6", kNumber, 1}, {"Zero_and_a_half", "0.5", kNumber, 0},
    {"Largest", "2147483647", kNumber, INT32_MAX}, {"Lowest", "-2147483648", kNumber, INT32_MIN},
    {"Largest_plus_1", "2147483648", kInvalid, 0}, {"Lowest_minus_1", "-2147483649", kInvalid, 0},
    {"Largest_half_up_out", "2147483647.5", kInvalid, 0},
    {"Lowest_half_to_even_in", "-2147483648.5", kNumber, INT32_MIN},
    {"Half_below_largest_in", "2147483646.5", kNumber, 2147483646},
    {"Beyond_64_bits", "99999999999999999999999", kInvalid, 0},
    {"Wrapping_64_bits_to_5", "18446744073709551621", kInvalid, 0},
    {"Word", "abc", kInvalid, 0}, {"Digit_then_word", "5abc", kInvalid, 0},
    {"Grouping", "1,000", kInvalid, 0}, {"Basic_hex", "&H10", kInvalid, 0},
    {"Exponent", "1e3", kInvalid, 0}, {"Inner_blank", "1 2", kInvalid, 0},
    {"Sign_then_blank", "- 5", kInvalid, 0}, {"Sign_alone", "-", kInvalid, 0},
    {"Point_alone", ".", kInvalid, 0}, {"Two_points", "1.2.3", kInvalid, 0},
    {"Two_signs", "+-5", kInvalid, 0}, {"Sign_behind", "5-", kInvalid, 0},
    {"Other_blank", "\n5", kInvalid, 0});
// clang-format on

// A value written without its leading blank, with a blank before its minus, or not in digits.
TEST(ValueTextWriting, GivesOneBlankOrAMinus) {
  for (const auto& [value, text] : {std::pair{5, " 5"},
                                    {0, " 0"},
                                    {-1, "-1"},
                                    {INT32_MAX, " 2147483647"},
                                    {INT32_MIN, "-2147483648"}}) {
    EXPECT_EQ(FormatValueText(value), text);
  }
}

}  // namespace
}  // namespace vorn
