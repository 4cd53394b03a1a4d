#include "pe_image.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace vorn::e2e {
namespace {

constexpr std::uint32_t kRtString = 6;
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kResourceDirectory = 2;

class Reader {
 public:
  explicit Reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
  template <typename T>
  T At(std::size_t offset) const {
    if (offset + sizeof(T) > bytes_.size()) throw std::runtime_error("read beyond the end of the file");
    T value;
    std::memcpy(&value, bytes_.data() + offset, sizeof(T));
    return value;
  }
  std::string CString(std::size_t offset) const {
    std::string text;
    while (offset < bytes_.size() && bytes_[offset] != 0) text += static_cast<char>(bytes_[offset++]);
    return text;
  }
  std::size_t Size() const { return bytes_.size(); }

 private:
  std::vector<unsigned char> bytes_;
};

struct Section {
  std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Image {
 public:
  Image(const Reader& reader, std::vector<Section> sections)
      : reader_(reader), sections_(std::move(sections)) {}
  std::size_t Offset(std::uint32_t rva) const {
    for (const Section& s : sections_) {
      if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize)) {
        return s.rawOffset + (rva - s.virtualAddress);
      }
    }
    throw std::runtime_error("address outside every section");
  }
  const Reader& reader_;
  std::vector<Section> sections_;
};

// Calls visit(id, entryOffsetField) for each entry of a resource directory.
template <typename Visit>
void ForEachEntry(const Reader& r, std::size_t base, std::size_t directory, Visit visit) {
  const std::size_t count = std::size_t{r.At<std::uint16_t>(directory + 12)} +
                            r.At<std::uint16_t>(directory + 14);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = directory + 16 + i * 8;
    const std::uint32_t id = r.At<std::uint32_t>(entry);
    const std::uint32_t target = r.At<std::uint32_t>(entry + 4);
    visit(id, target, base);
  }
}

std::string StringOne(const Image& image, std::size_t dataEntry) {
  const Reader& r = image.reader_;
  const std::size_t data = image.Offset(r.At<std::uint32_t>(dataEntry));
  // Block 1 holds strings 0..15, each a length and UTF-16 text: skip string 0.
  std::size_t pos = data + 2 + 2 * std::size_t{r.At<std::uint16_t>(data)};
  const std::uint16_t length = r.At<std::uint16_t>(pos);
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    const auto unit = r.At<std::uint16_t>(pos + 2 + 2 * i);
    text += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return text;
}

void ReadResources(const Image& image, std::uint32_t rva, PeImage& result) {
  const Reader& r = image.reader_;
  const std::size_t base = image.Offset(rva);
  ForEachEntry(r, base, base, [&](std::uint32_t type, std::uint32_t typeTarget, std::size_t) {
    const std::size_t names = base + (typeTarget & 0x7FFFFFFF);
    ForEachEntry(r, base, names, [&](std::uint32_t name, std::uint32_t nameTarget, std::size_t) {
      result.resources.emplace(type, name);
      if (type != kRtString || name != 1) return;
      const std::size_t languages = base + (nameTarget & 0x7FFFFFFF);
      const std::uint32_t firstLanguage = r.At<std::uint32_t>(languages + 16 + 4);
      result.string1 = StringOne(image, base + firstLanguage);
    });
  });
}

void ReadImports(const Image& image, std::uint32_t rva, PeImage& result) {
  const Reader& r = image.reader_;
  for (std::size_t entry = image.Offset(rva);; entry += 20) {
    const std::uint32_t nameRva = r.At<std::uint32_t>(entry + 12);
    if (nameRva == 0) break;
    std::string name = r.CString(image.Offset(nameRva));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    result.importedDlls.insert(name);
  }
}

}  // namespace

PeImage ReadPeImage(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  const Reader r(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
  if (r.At<std::uint16_t>(0) != 0x5A4D) throw std::runtime_error("no MZ header");
  const std::size_t pe = r.At<std::uint32_t>(0x3C);
  if (r.At<std::uint32_t>(pe) != 0x00004550) throw std::runtime_error("no PE signature");
  PeImage result;
  result.machine = r.At<std::uint16_t>(pe + 4);
  const std::uint16_t sectionCount = r.At<std::uint16_t>(pe + 6);
  const std::uint16_t optionalSize = r.At<std::uint16_t>(pe + 20);
  const std::size_t optional = pe + 24;
  result.optionalMagic = r.At<std::uint16_t>(optional);
  result.subsystem = r.At<std::uint16_t>(optional + 68);
  const std::size_t directories = optional + (result.optionalMagic == 0x20B ? 112 : 96);

  std::vector<Section> sections;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t s = optional + optionalSize + i * 40;
    sections.push_back({r.At<std::uint32_t>(s + 12), r.At<std::uint32_t>(s + 8),
                        r.At<std::uint32_t>(s + 20), r.At<std::uint32_t>(s + 16)});
  }
  const Image image(r, std::move(sections));
  if (const auto rva = r.At<std::uint32_t>(directories + 8 * kImportDirectory)) {
    ReadImports(image, rva, result);
  }
  if (const auto rva = r.At<std::uint32_t>(directories + 8 * kResourceDirectory)) {
    ReadResources(image, rva, result);
  }
  return result;
}

}  // namespace vorn::e2e
