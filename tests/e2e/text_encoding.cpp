// UTF-8 ⇄ UTF-16LE for .reg files and settings files in Windows' wide encoding.
#include "harness.h"

namespace vorn::e2e {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementary = 0x10000;

void AppendUnit(std::string& out, char32_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>((unit >> 8) & 0xFF);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < kSupplementary) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Length of the UTF-8 sequence a lead byte starts; 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 0;
  return lead >= 0xC0 ? 2 : 0;
}

}  // namespace

std::string Utf16LeFromUtf8(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = SequenceLength(lead);
    if (length == 0 || i + static_cast<std::size_t>(length) > utf8.size()) {
      AppendUnit(out, kReplacement);
      ++i;
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    i += static_cast<std::size_t>(length);
    if (code >= kSupplementary) {
      code -= kSupplementary;
      AppendUnit(out, kHighSurrogate + (code >> 10));
      AppendUnit(out, kLowSurrogate + (code & 0x3FF));
    } else {
      AppendUnit(out, code);
    }
  }
  return out;
}

std::string Utf8FromUtf16Le(std::string_view utf16) {
  std::size_t i = utf16.starts_with("\xFF\xFE") ? 2 : 0;
  const auto unitAt = [&](std::size_t at) {
    return static_cast<char32_t>(static_cast<unsigned char>(utf16[at]) |
                                 (static_cast<unsigned char>(utf16[at + 1]) << 8));
  };
  std::string out;
  for (; i + 1 < utf16.size(); i += 2) {
    char32_t code = unitAt(i);
    if (code >= kHighSurrogate && code < kLowSurrogate && i + 3 < utf16.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= kLowSurrogate && low < kSurrogateEnd) {
        code = kSupplementary + ((code - kHighSurrogate) << 10) + (low - kLowSurrogate);
        i += 2;
      }
    }
    AppendUtf8(out, code >= kHighSurrogate && code < kSurrogateEnd ? kReplacement : code);
  }
  return out;
}

}  // namespace vorn::e2e
