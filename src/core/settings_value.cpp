#include "core/settings_value.h"

#include <limits>

namespace vorn {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Magnitudes above this are out of range whatever the fraction; keeping the
// accumulator below it means it can never overflow 64 bits.
constexpr std::int64_t kMagnitudeCap = std::int64_t{1} << 40;

}  // namespace

ParsedValue ParseValueText(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return {ValueTextKind::Missing, 0};

  std::size_t pos = 0;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') {
    negative = text[pos] == '-';
    ++pos;
  }

  std::int64_t whole = 0;
  std::size_t digits = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits) {
    if (whole < kMagnitudeCap) whole = whole * 10 + (text[pos] - '0');
  }

  // The fraction only matters through its comparison with one half.
  int firstFractionDigit = 0;
  bool restNonZero = false;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    bool first = true;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits) {
      if (first) {
        firstFractionDigit = text[pos] - '0';
        first = false;
      } else if (text[pos] != '0') {
        restNonZero = true;
      }
    }
  }
  if (digits == 0 || pos != text.size()) return {ValueTextKind::Invalid, 0};

  const bool aboveHalf = firstFractionDigit > 5 || (firstFractionDigit == 5 && restNonZero);
  const bool exactlyHalf = firstFractionDigit == 5 && !restNonZero;
  if (aboveHalf || (exactlyHalf && whole % 2 != 0)) ++whole;

  const std::int64_t signedValue = negative ? -whole : whole;
  if (signedValue < std::numeric_limits<std::int32_t>::min() ||
      signedValue > std::numeric_limits<std::int32_t>::max()) {
    return {ValueTextKind::Invalid, 0};
  }
  return {ValueTextKind::Number, static_cast<std::int32_t>(signedValue)};
}

std::optional<std::int32_t> StrictNumber(std::string_view text) {
  const ParsedValue parsed = ParseValueText(text);
  if (parsed.kind != ValueTextKind::Number) return std::nullopt;
  return parsed.value;
}

std::string FormatValueText(std::int32_t value) {
  std::string text = std::to_string(value);
  if (value >= 0) text.insert(text.begin(), ' ');
  return text;
}

}  // namespace vorn
