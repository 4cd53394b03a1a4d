// The program's readings of text: the command line (its arguments, the switch letter and the
// window handles) and the value texts of the settings file, read and written.
#include "core/command_line.h"
#include "core/settings_value.h"
#include "table_test.h"

namespace vorn {
namespace {

struct CommandLineCase {
  const char* name;
  const wchar_t *commandLine, *arguments;
};
using Arguments = ::testing::TestWithParam<CommandLineCase>;

// The program's path or the blanks after it kept, or the arguments behind a quoted path lost.
TEST_P(Arguments, FollowTheProgramPath) {
  EXPECT_EQ(std::wstring(ArgumentsOf(GetParam().commandLine)), GetParam().arguments);
}

VORN_TABLE(Arguments, {"Plain_path", L"C:\\Vorn.scr /s", L"/s"},
           {"Quoted_path_with_blank", L"\"C:\\My Saver\\Vorn.scr\" /p 12", L"/p 12"},
           {"Quoted_path_then_switch", L"\"C:\\Vorn.scr\"/c", L"/c"},
           {"Blanks_and_tabs", L"Vorn.scr \t \t/a 5 ", L"/a 5 "}, {"Path_alone", L"Vorn.scr", L""},
           {"Empty", L"", L""}, {"Unterminated_quote", L"\"C:\\Vorn.scr /s", L""});

struct SwitchCase {
  const char *name, *argumentText, *letter, *handleText;
  std::int32_t lenient;  // the preview's reading of the handle text
};
using Switches = ::testing::TestWithParam<SwitchCase>;

// A letter taken from the wrong character or byte, not upper-cased or upper-cased beyond ASCII;
// the handle text from the wrong place; a lenient handle that does not skip blanks, reads past the
// digits, wraps beyond 32 bits or takes a sign (the password change's strict reading of it is
// StrictNumber, which the value texts' table checks on texts of each of these shapes).
TEST_P(Switches, ReadTheLetterAndTheHandle) {
  const SwitchCase& c = GetParam();
  EXPECT_EQ(SwitchLetter(c.argumentText), c.letter);
  EXPECT_EQ(HandleText(c.argumentText), c.handleText);
  EXPECT_EQ(LenientHandle(HandleText(c.argumentText)), c.lenient);
}

// clang-format off
VORN_TABLE(Switches,
    {"Empty", "", "", "", 0}, {"One_character", "s", "", "", 0}, {"Saver", "/s", "S", "", 0},
    {"Dash_upper", "-S", "S", "", 0}, {"Word", "/scr", "S", "r", 0},
    {"Not_a_letter", "/1", "1", "", 0}, {"Preview", "/p 1234", "P", "1234", 1234},
    {"Colon", "/c:1234", "C", "1234", 1234}, {"En_dash_first", "\u2013p 1234", "P", "1234", 1234},
    {"Two_byte_letter", "/\u00e9 7", "\u00e9", "7", 7},
    {"Blanks_and_tab", "/p  \t 12 ", "P", " \t 12 ", 12},
    {"Leading_zero", "/p 01234", "P", "01234", 1234},
    {"Digits_then_text", "/p 12ab", "P", "12ab", 12}, {"No_digits", "/p abc", "P", "abc", 0},
    {"Digits_then_blank", "/p 1 2", "P", "1 2", 1}, {"Sign", "/a -5", "A", "-5", 0},
    {"Largest", "/p 2147483647", "P", "2147483647", INT32_MAX},
    {"Beyond_32_bits", "/p 2147483648", "P", "2147483648", 0},
    {"Beyond_64_bits", "/p 99999999999999999999", "P", "99999999999999999999", 0});
// clang-format on

struct ReadingCase {
  const char *name, *text;
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
