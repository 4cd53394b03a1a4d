// Readings of the command line's argument text (everything after the program's path).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// The mode letter: the second character of the upper-cased argument text, or the
// empty string when the text is shorter than two characters. The first character
// (normally '/' or '-', but "–" and other characters of more than one UTF-8 byte
// too) is not examined. Characters, not bytes: the text is UTF-8.
std::string SwitchLetter(std::string_view argumentText);

// The text behind the switch: the argument text from its fourth character on
// ("/p 1234" and "–p 1234" give "1234"), empty when the text is shorter.
std::string_view HandleText(std::string_view argumentText);

// The lenient reading of a window handle: blanks and tabs are skipped, decimal
// digits are read up to the first other character. Text without digits, and a
// number beyond the 32-bit signed range, give 0 (a handle that names no window).
std::int32_t LenientHandle(std::string_view text);

// The argument text of a whole command line: what follows the program's path
// (quoted or not) and the blanks after it.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

}  // namespace vorn
