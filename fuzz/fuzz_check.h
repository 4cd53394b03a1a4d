// What the fuzz targets share: a failed invariant stops the run with a message,
// and libFuzzer keeps the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorn::fuzz {

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// `describe` is the message, or a callable that makes it: the text is built
// only when the invariant is broken, so checks in hot loops stay cheap.
template <typename Describe>
void Require(bool holds, Describe&& describe) {
  if (holds) return;
  if constexpr (std::is_invocable_v<Describe>) {
    Fail(describe());
  } else {
    Fail(std::string(describe));
  }
}

// Printable form of a text for messages: bytes outside ASCII as \xNN.
inline std::string Shown(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown + "\"";
}

}  // namespace vorn::fuzz
