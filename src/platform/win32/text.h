// Conversions between the program's UTF-8 text and the wide-character API.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vorn::win32 {

inline std::wstring Widen(std::string_view text) {
  std::wstring wide(text.size(), L'\0');  // never more UTF-16 units than UTF-8 bytes
  const int size = static_cast<int>(text.size());
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), size)));
  return wide;
}

inline std::string Narrow(std::wstring_view text) {
  std::string narrow(text.size() * 3, '\0');  // at most three UTF-8 bytes per UTF-16 unit
  const int size = static_cast<int>(text.size());
  narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
      CP_UTF8, 0, text.data(), size, narrow.data(), size * 3, nullptr, nullptr)));
  return narrow;
}

}  // namespace vorn::win32
