#include "core/settings_value.h"

#include "table_test.h"

namespace vorn {
namespace {

constexpr auto N = ValueTextKind::Number;
constexpr auto I = ValueTextKind::Invalid;
constexpr auto M = ValueTextKind::Missing;

struct ReadCase {
  const char* name;
  const char* text;
  ValueTextKind kind;
  std::int32_t value;  // for N
};
using ValueTextReading = ::testing::TestWithParam<ReadCase>;

// Blanks, signs or halves misread, the range checked before rounding, or a non-number taken.
TEST_P(ValueTextReading, ReadsAsTheDocumentedNumber) {
  EXPECT_EQ(ParseValueText(GetParam().text).kind, GetParam().kind);
  EXPECT_EQ(StrictNumber(GetParam().text),
            GetParam().kind == N ? std::optional(GetParam().value) : std::nullopt);
}

VORN_TABLE(ValueTextReading, {"Digit", "7", N, 7}, {"Blanks_around", "\t 7 \t", N, 7},
           {"Plus", "+7", N, 7}, {"Minus", "-3", N, -3}, {"Minus_zero", "-0", N, 0},
           {"Leading_zeros", "007", N, 7}, {"Half_down_to_even", "2.5", N, 2},
           {"Half_up_to_even", "3.5", N, 4}, {"Zero_and_a_half", "0.5", N, 0},
           {"Minus_half_to_even", "-2.5", N, -2}, {"Minus_half_away", "-3.5", N, -4},
           {"Above_half", "2.51", N, 3}, {"Far_digit_above_half", "2.500000001", N, 3},
           {"Below_half", "2.49999", N, 2}, {"Point_no_fraction", "7.", N, 7},
           {"Fraction_only_half", ".5", N, 0}, {"Fraction_only", ".6", N, 1},
           {"Largest", "2147483647", N, INT32_MAX}, {"Largest_plus_1", "2147483648", I, 0},
           {"Smallest", "-2147483648", N, INT32_MIN}, {"Smallest_minus_1", "-2147483649", I, 0},
           {"Largest_half_rounds_out", "2147483647.5", I, 0},
           {"Below_largest_half_rounds_in", "2147483646.5", N, 2147483646},
           {"Smallest_half_rounds_in", "-2147483648.5", N, INT32_MIN},
           {"Smallest_above_half_out", "-2147483648.6", I, 0},
           {"Beyond_64_bits", "99999999999999999999999999", I, 0}, {"Empty", "", M, 0},
           {"Blanks_only", " \t ", M, 0}, {"Word", "abc", I, 0}, {"Digit_then_word", "5abc", I, 0},
           {"Grouping", "1,000", I, 0}, {"Basic_hex", "&H10", I, 0}, {"C_hex", "0x10", I, 0},
           {"Exponent", "1e3", I, 0}, {"Inner_blank", "1 000", I, 0}, {"Sign_alone", "-", I, 0},
           {"Point_alone", ".", I, 0}, {"Two_signs", "--5", I, 0}, {"Sign_behind", "5-", I, 0},
           {"Two_points", "1.2.3", I, 0});

// A value written without its leading blank, with a blank before its minus, or not in digits.
TEST(ValueTextWriting, GivesOneBlankOrAMinus) {
  EXPECT_EQ(FormatValueText(5), " 5");
  EXPECT_EQ(FormatValueText(0), " 0");
  EXPECT_EQ(FormatValueText(-1), "-1");
  EXPECT_EQ(FormatValueText(2147483647), " 2147483647");
  EXPECT_EQ(FormatValueText(INT32_MIN), "-2147483648");
}

}  // namespace
}  // namespace vorn
