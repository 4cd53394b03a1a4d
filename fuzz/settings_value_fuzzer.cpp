// The settings value text: a number read lies within a half of what the C library reads, a half
// goes to even, a number in range is never refused, the strict reading agrees, and every 32-bit
// value written reads back as itself.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/settings_value.h"
#include "fuzz_check.h"

namespace vorn::fuzz {
namespace {

// An optional sign, then digits with at most one point among them, at least one digit.
bool HasNumberShape(std::string_view text) {
  if (text.starts_with('+') || text.starts_with('-')) text.remove_prefix(1);
  const auto digits = std::ranges::count_if(text, [](char c) { return c >= '0' && c <= '9'; });
  const auto points = std::ranges::count(text, '.');
  return digits > 0 && points <= 1 && digits + points == std::ssize(text);
}

void CheckWriting(std::int32_t value) {
  const std::string text = FormatValueText(value);
  const ParsedValue back = ParseValueText(text);
  Require(back.kind == ValueTextKind::Number && back.value == value &&
              text[0] == (value < 0 ? '-' : ' '),
          "a value written does not read back");
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
  const bool shaped = HasNumberShape(core);
  const double library = shaped ? std::strtod(core.c_str(), nullptr) : 0.0;
  if (number) {
    Require(shaped && std::abs(library - parsed.value) <= 0.5, "a number misread");
    const std::size_t point = core.find('.');  // a half: a point, a 5, then only zeros
    const bool half = point != core.npos && core.substr(point + 1).starts_with('5') &&
                      core.find_first_not_of('0', point + 2) == core.npos;
    Require(!half || parsed.value % 2 == 0, "a half went to odd");
    CheckWriting(parsed.value);
  } else {
    Require(!shaped || library <= INT32_MIN - 0.5 || library >= INT32_MAX + 0.5,
            "a number in range refused");
  }
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorn::fuzz::CheckReading({reinterpret_cast<const char*>(data), size});
  if (size >= sizeof(std::int32_t)) {
    std::int32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    vorn::fuzz::CheckWriting(value);
  }
  return 0;
}
