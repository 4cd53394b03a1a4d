// Readings of the command line: its arguments, the switch letter and the window handles.
#include "core/command_line.h"

#include "core/settings_value.h"
#include "table_test.h"

namespace vorn {
namespace {

struct CommandLineCase {
  const char* name;
  const wchar_t* commandLine;
  const wchar_t* arguments;
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
  const char* name;
  const char* argumentText;
  const char* letter;
  const char* handleText;
  std::int32_t lenient;                // the preview's reading of the handle text
  std::optional<std::int32_t> strict;  // the password change's
};
using Switches = ::testing::TestWithParam<SwitchCase>;

// A letter taken from the wrong character or byte, not upper-cased or upper-cased beyond ASCII;
// the handle text from the wrong place; a lenient handle that does not skip blanks, reads past the
// digits, wraps beyond 32 bits or takes a sign; a strict one that takes text around the number.
TEST_P(Switches, ReadTheLetterAndTheHandle) {
  const SwitchCase& c = GetParam();
  EXPECT_EQ(SwitchLetter(c.argumentText), c.letter);
  EXPECT_EQ(HandleText(c.argumentText), c.handleText);
  EXPECT_EQ(LenientHandle(HandleText(c.argumentText)), c.lenient);
  EXPECT_EQ(StrictNumber(HandleText(c.argumentText)), c.strict);
}

// clang-format off
VORN_TABLE(Switches,
    {"Empty", "", "", "", 0, {}}, {"One_character", "s", "", "", 0, {}},
    {"Saver", "/s", "S", "", 0, {}}, {"Dash_upper", "-S", "S", "", 0, {}},
    {"Word", "/scr", "S", "r", 0, {}}, {"Not_a_letter", "/1", "1", "", 0, {}},
    {"Preview", "/p 1234", "P", "1234", 1234, 1234},
    {"Colon", "/c:1234", "C", "1234", 1234, 1234},
    {"En_dash_first", "\u2013p 1234", "P", "1234", 1234, 1234},
    {"Two_byte_letter", "/\u00e9 7", "\u00e9", "7", 7, 7},
    {"Blanks_and_tab", "/p  \t 12 ", "P", " \t 12 ", 12, 12},
    {"Leading_zero", "/p 01234", "P", "01234", 1234, 1234},
    {"Digits_then_text", "/p 12ab", "P", "12ab", 12, {}},
    {"Digits_then_blank", "/p 1 2", "P", "1 2", 1, {}}, {"No_digits", "/p abc", "P", "abc", 0, {}},
    {"Sign", "/a -5", "A", "-5", 0, -5}, {"Largest", "/p 2147483647", "P", "2147483647", INT32_MAX, INT32_MAX},
    {"Beyond_32_bits", "/p 2147483648", "P", "2147483648", 0, {}},
    {"Beyond_64_bits", "/p 99999999999999999999", "P", "99999999999999999999", 0, {}});
// clang-format on

}  // namespace
}  // namespace vorn
