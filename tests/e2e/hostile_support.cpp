#include "hostile_support.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <random>

namespace vorn::e2e {
namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kSettingsSection = "section";

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string Lower(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

std::string DecodedSettings(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return Utf8FromUtf16Le(bytes);
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  return std::string(bytes);
}

// Whether `window` is `inner` or one of its ancestors.
bool Contains(Display* display, Window window, Window inner) {
  while (inner != None) {
    if (inner == window) return true;
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, inner, &root, &parent, &children, &count) == 0) return false;
    if (children != nullptr) XFree(children);
    if (parent == root) return false;
    inner = parent;
  }
  return false;
}

bool KeysGoTo(Display* display, Window window) {
  Window focus = None;
  int revertTo = 0;
  XGetInputFocus(display, &focus, &revertTo);
  if (focus != PointerRoot) return Contains(display, window, focus);
  Window root = None, child = None;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return child == window;
}

}  // namespace

FolderFiles ReadFolder(const fs::path& dir) {
  FolderFiles files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    files[entry.path().filename().string()] = ReadFileBytes(entry.path()).value_or("");
  }
  return files;
}

std::string FolderChanges(const FolderFiles& before, const FolderFiles& after) {
  std::string changes;
  for (const auto& [name, bytes] : after) {
    const auto old = before.find(name);
    if (old == before.end()) changes += " added " + name + ";";
    else if (old->second != bytes) changes += " changed " + name + ";";
  }
  for (const auto& [name, bytes] : before) {
    if (!after.contains(name)) changes += " removed " + name + ";";
  }
  return changes;
}

std::optional<std::string> SettingText(std::string_view fileBytes, std::string_view key) {
  const std::string text = DecodedSettings(fileBytes);
  const std::string wanted = Lower(key);
  enum class Place { Before, In, Past } place = Place::Before;
  std::string_view rest = text;
  while (!rest.empty() && place != Place::Past) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (line.starts_with('[') && line.find(']') != std::string_view::npos) {
      const bool ours = Lower(Trim(line.substr(1, line.rfind(']') - 1))) == kSettingsSection;
      if (place == Place::In) place = Place::Past;
      else if (ours) place = Place::In;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (place != Place::In || equals == std::string_view::npos) continue;
    if (Lower(Trim(line.substr(0, equals))) == wanted) return std::string(Trim(line.substr(equals + 1)));
  }
  return std::nullopt;
}

std::optional<std::int32_t> WholeNumber(std::string_view text) {
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

bool WaitForKeyboardFocus(const XClient& x, unsigned long window, const Deadline& deadline) {
  return PollUntil(deadline, [&] { return KeysGoTo(x.Raw(), window); });
}

std::string SeededBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(count, '\0');
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(byte(generator)); });
  return bytes;
}

}  // namespace vorn::e2e
