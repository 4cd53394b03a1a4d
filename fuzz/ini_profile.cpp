#include "ini_profile.h"

#include <algorithm>
#include <cstring>

namespace vorn::fuzz {
namespace {

constexpr char kByteOrderMarkUtf8[] = "\xEF\xBB\xBF";
constexpr char kByteOrderMarkUtf16Le[] = "\xFF\xFE";
constexpr char kEndOfFileMark = '\x1A';

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
         c == kEndOfFileMark;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// The section a header line names, or nullopt for a line that is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

std::string_view NextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return Trim(line);
}

// Text stops at a NUL as it does in the system's string copies.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view iniText, std::string_view section,
                                            std::string_view key) {
  enum class Place { BeforeIt, InIt, PastIt } place = Place::BeforeIt;
  std::string_view rest = iniText;
  while (!rest.empty() && place != Place::PastIt) {
    const std::string_view line = NextLine(rest);
    if (const auto name = SectionName(line)) {
      if (place == Place::InIt)
        place = Place::PastIt;
      else if (SameName(UpToNul(*name), section))
        place = Place::InIt;
      continue;
    }
    if (place != Place::InIt || line.empty()) continue;
    const std::size_t equals = line.find('=');
    const std::string_view name = Trim(line.substr(0, equals));
    if (!SameName(UpToNul(name), key)) continue;
    if (equals == std::string_view::npos) return std::string();
    return std::string(UpToNul(Trim(line.substr(equals + 1))));
  }
  return std::nullopt;
}

std::string ProfileResult(std::string_view rawValue, std::uint32_t size) {
  if (size == 0) return {};
  std::string_view value = rawValue;
  const std::size_t limit = size - 1;
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  if (quoted) value.remove_prefix(1);
  std::string result(value.substr(0, limit));
  // The closing quote goes only when the whole value fitted.
  if (quoted && value.size() <= limit) result.pop_back();
  return result;
}

std::string DecodeProfileFile(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMarkUtf8)) return std::string(bytes.substr(3));
  if (!bytes.starts_with(kByteOrderMarkUtf16Le)) return std::string(bytes);
  std::string narrowed;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
    narrowed += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return narrowed;
}

std::uint32_t IniTextPlatform::GetPrivateProfileStringA(std::string_view section,
                                                        std::string_view key,
                                                        std::string_view defaultText, char* buffer,
                                                        std::uint32_t size, std::string_view) {
  calls.push_back("GetPrivateProfileStringA");
  if (size == 0) return 0;
  const auto raw = FindProfileValue(DecodeProfileFile(iniFileBytes), section, key);
  const std::string text = ProfileResult(raw.value_or(std::string(defaultText)), size);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<std::uint32_t>(text.size());
}

}  // namespace vorn::fuzz
