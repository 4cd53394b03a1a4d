// The switch letter and handle text are checked against their own reading by the command line
// fuzz target, over its seeds (fuzz/corpus/command_line) and any bytes.
#include "core/command_line.h"

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

}  // namespace
}  // namespace vorn
