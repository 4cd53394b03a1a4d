// The settings value text: any bytes are read without fault, a number read is
// written back as text that reads as the same number, and the strict reading
// agrees with the lenient one.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/settings_value.h"
#include "fuzz_check.h"

namespace vorn::fuzz {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The shape of a number: an optional sign, digits with at most one point, and
// at least one digit.
bool HasNumberShape(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  const auto digits = std::count_if(text.begin(), text.end(), IsDigit);
  const auto points = std::count(text.begin(), text.end(), '.');
  return digits > 0 && points <= 1 && digits + points == static_cast<long>(text.size());
}

// Whether the fraction is exactly one half: a point, a 5, then only zeros.
bool IsExactHalf(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return false;
  const std::string_view fraction = text.substr(point + 1);
  return fraction.starts_with('5') && fraction.find_first_not_of('0', 1) == std::string_view::npos;
}

// The value the C library reads from the same text, for comparison.
double LibraryValue(std::string_view text) {
  const std::string copy(text);
  return std::strtod(copy.c_str(), nullptr);
}

void CheckRoundTrip(std::int32_t value) {
  const std::string text = FormatValueText(value);
  const ParsedValue back = ParseValueText(text);
  Require(back.kind == ValueTextKind::Number && back.value == value, [&] {
    return "FormatValueText(" + std::to_string(value) + ") = " + Shown(text) +
           " does not read back";
  });
  Require(text.front() == (value < 0 ? '-' : ' '),
          [&] { return "sign position of " + Shown(text); });
}

void CheckReading(std::string_view text) {
  const ParsedValue parsed = ParseValueText(text);
  const std::string_view core = Trimmed(text);
  const std::optional<std::int32_t> strict = StrictNumber(text);
  Require(strict.has_value() == (parsed.kind == ValueTextKind::Number),
          [&] { return "strict and lenient readings disagree on " + Shown(text); });
  Require(!strict || *strict == parsed.value,
          [&] { return "strict value differs for " + Shown(text); });
  Require((parsed.kind == ValueTextKind::Missing) == core.empty(),
          [&] { return "missing must mean blank for " + Shown(text); });
  if (core.empty()) return;
  const double library = HasNumberShape(core) ? LibraryValue(core) : 0.0;
  const bool inRange = library > std::numeric_limits<std::int32_t>::min() - 0.5 &&
                       library < std::numeric_limits<std::int32_t>::max() + 0.5;
  if (parsed.kind == ValueTextKind::Number) {
    Require(HasNumberShape(core), [&] { return "a number read from " + Shown(text); });
    Require(std::abs(library - parsed.value) <= 0.5,
            [&] { return "rounding of " + Shown(text) + " gave " + std::to_string(parsed.value); });
    Require(!IsExactHalf(core) || parsed.value % 2 == 0,
            [&] { return "a half in " + Shown(text) + " went to odd " + std::to_string(parsed.value); });
    CheckRoundTrip(parsed.value);
  } else if (HasNumberShape(core) && inRange) {
    Require(false, [&] { return "a whole number in range was refused: " + Shown(text); });
  }
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vorn::fuzz::CheckReading(text);
  if (size >= sizeof(std::int32_t)) {
    std::int32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    vorn::fuzz::CheckRoundTrip(value);
  }
  return 0;
}
