// Value texts read within a half of the C library, halves to even; 32-bit values written read back.
#include <cmath>
#include <cstring>
#include <utility>

#include "core/settings_value.h"
#include "fuzz_check.h"

namespace vorn::fuzz {

// The shape of a number that strtod reads whole: a sign, digits with at most one point among them.
bool NumberShaped(std::string_view text) {
  bool digit = false, point = false;
  for (std::size_t i = text.starts_with('+') || text.starts_with('-'); i < text.size(); ++i) {
    if (text[i] == '.' && !std::exchange(point, true)) continue;
    if (text[i] < '0' || text[i] > '9') return false;
    digit = true;
  }
  return digit;
}

void CheckWriting(std::int32_t value) {
  const std::string text = FormatValueText(value);
  Require(StrictNumber(text) == value && text[0] == (value < 0 ? '-' : ' '), "written, misread");
}

void CheckReading(std::string_view text) {
  const ParsedValue parsed = ParseValueText(text);
  const bool number = parsed.kind == ValueTextKind::Number;
  Require(StrictNumber(text) == (number ? std::optional(parsed.value) : std::nullopt),
          "strict and lenient readings differ");
  const std::size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
  const std::string core(first == text.npos ? "" : text.substr(first, last - first + 1));
  Require((parsed.kind == ValueTextKind::Missing) == core.empty(), "missing but not blank");
  if (core.empty()) return;
  const bool shaped = NumberShaped(core);
  const double library = shaped ? std::strtod(core.c_str(), nullptr) : 0.0;
  if (number) {
    Require(shaped && std::abs(library - parsed.value) <= 0.5, "a number misread");
    const std::size_t point = core.find('.');  // a half: a point, a 5, then only zeros
    const bool half = point != core.npos && core.substr(point + 1).starts_with('5') &&
                      core.find_first_not_of('0', point + 2) == core.npos;
    Require(!half || parsed.value % 2 == 0, "a half went to odd");
  } else {
    Require(!shaped || library <= INT32_MIN - 0.5 || library >= INT32_MAX + 0.5,
            "a number in range refused");
  }
}

void Check(std::string_view input) {
  CheckReading(input);
  std::int32_t value = 0;
  std::memcpy(&value, input.data(), std::min(input.size(), sizeof value));
  CheckWriting(value);
}

}  // namespace vorn::fuzz
