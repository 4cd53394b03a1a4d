// Value text of the settings file: how a number is read from and written to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

// The outcome of reading one value text.
enum class ValueTextKind {
  Missing,  // empty once the blanks around it are gone: the caller uses its default
  Number,   // a whole number in the 32-bit signed range (after rounding)
  Invalid,  // not a number, or outside the 32-bit signed range
};

struct ParsedValue {
  ValueTextKind kind = ValueTextKind::Invalid;
  std::int32_t value = 0;  // meaningful only for Number
};

// Reads a decimal number: blanks (space, tab) around it, an optional sign, digits,
// optionally a point and more digits. A fraction is rounded to the nearest whole
// number, a tie going to the even neighbour; the range check follows the rounding.
ParsedValue ParseValueText(std::string_view text);

// The strict conversion of a whole text to a 32-bit integer: the same reading,
// with nothing for an empty text.
std::optional<std::int32_t> StrictNumber(std::string_view text);

// The text written for a value: one leading blank for a value that is not
// negative, a minus sign for a negative one (" 5", " 200", "-3").
std::string FormatValueText(std::int32_t value);

}  // namespace vorn
