#include "core/command_line.h"

#include "table_test.h"

namespace vorn {
namespace {

struct ReadingCase {
  const char* name;
  std::string argumentText;
  const char* letter;      // SwitchLetter
  std::string handleText;  // HandleText
  std::int32_t handle;     // LenientHandle of the handle text
};
using Readings = ::testing::TestWithParam<ReadingCase>;

// Letter not upper-cased or from the wrong place; handle text or lenient reading off by a place.
TEST_P(Readings, GiveTheLetterTheHandleTextAndTheHandle) {
  const ReadingCase& c = GetParam();
  EXPECT_EQ(SwitchLetter(c.argumentText), c.letter);
  EXPECT_EQ(HandleText(c.argumentText), c.handleText);
  EXPECT_EQ(LenientHandle(HandleText(c.argumentText)), c.handle);
}

VORN_TABLE(Readings, {"Empty", "", "", "", 0}, {"One_character", "s", "", "", 0},
           {"Lower_case", "/s", "S", "", 0}, {"Dash_upper_case", "-S", "S", "", 0},
           {"First_not_examined", "xa", "A", "", 0}, {"Three_characters", "/p ", "P", "", 0},
           {"Four_characters", "/p 1", "P", "1", 1}, {"Colon", "/c:1234", "C", "1234", 1234},
           {"Leading_zero", "/p 01234", "P", "01234", 1234},
           {"Blanks_and_tab", "/p  \t 12", "P", " \t 12", 12},
           {"Stops_at_letter", "/p 12abc", "P", "12abc", 12},
           {"Stops_at_blank", "/p 12 34", "P", "12 34", 12}, {"No_digits", "/p abc", "P", "abc", 0},
           {"Minus", "/p -1", "P", "-1", 0},
           {"Largest", "/p 2147483647", "P", "2147483647", INT32_MAX},
           {"Largest_plus_1", "/p 2147483648", "P", "2147483648", 0},
           {"Beyond_64_bits", "/p " + std::string(25, '9'), "P", std::string(25, '9'), 0});

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

}  // namespace
}  // namespace vorn
