// RGB images of the screen and a small PNG writer (stored deflate blocks, no
// compression library needed).
#include "harness.h"

#include <array>
#include <cstdlib>

namespace vorn::e2e {
namespace {

constexpr std::uint32_t kAdlerModulus = 65521;
constexpr std::size_t kMaxStoredBlock = 65535;
constexpr std::uint8_t kPngBitDepth = 8;
constexpr std::uint8_t kPngColourTypeRgb = 2;
constexpr std::uint8_t kPngFilterNone = 0;
constexpr int kBytesPerPixel = 3;

const std::array<std::uint32_t, 256>& CrcTable() {
  static const auto table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t n = 0; n < entries.size(); ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  return table;
}

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char byte : bytes) c = CrcTable()[(c ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::string_view bytes) {
  std::uint32_t a = 1, b = 0;
  for (const char byte : bytes) {
    a = (a + static_cast<std::uint8_t>(byte)) % kAdlerModulus;
    b = (b + a) % kAdlerModulus;
  }
  return (b << 16) | a;
}

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendChunk(std::string& png, std::string_view type, std::string_view data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  std::string typed(type);
  typed += data;
  png += typed;
  AppendBigEndian(png, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string ZlibStored(std::string_view raw) {
  std::string out = {'\x78', '\x01'};
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min(kMaxStoredBlock, raw.size() - offset);
    const bool final = offset + length == raw.size();
    out += static_cast<char>(final ? 1 : 0);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFF);
    out += static_cast<char>((~length >> 8) & 0xFF);
    out.append(raw.substr(offset, length));
    offset += length;
  } while (offset < raw.size());
  AppendBigEndian(out, Adler32(raw));
  return out;
}

std::string HexByte(std::uint8_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  return {kDigits[value >> 4], kDigits[value & 0xF]};
}

}  // namespace

std::string Describe(const Rgb& colour) {
  return "#" + HexByte(colour.r) + HexByte(colour.g) + HexByte(colour.b);
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(const Rect& rect) {
  return std::to_string(rect.width) + "x" + std::to_string(rect.height) + "+" +
         std::to_string(rect.x) + "+" + std::to_string(rect.y);
}

RgbImage::RgbImage(int width, int height)
    : width_(width), height_(height),
      rgb_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel) {}

Rgb RgbImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw E2eError("pixel (" + std::to_string(x) + "," + std::to_string(y) + ") outside a " +
                   std::to_string(width_) + "x" + std::to_string(height_) + " image");
  }
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * kBytesPerPixel;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void RgbImage::Set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * kBytesPerPixel;
  rgb_[i] = colour.r;
  rgb_[i + 1] = colour.g;
  rgb_[i + 2] = colour.b;
}

std::size_t RgbImage::CountNear(Rgb colour, int tolerance) const {
  std::size_t count = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) count += Near(At(x, y), colour, tolerance) ? 1 : 0;
  }
  return count;
}

RgbImage RgbImage::Crop(const Rect& rect) const {
  RgbImage part(rect.width, rect.height);
  for (int y = 0; y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) part.Set(x, y, At(rect.x + x, rect.y + y));
  }
  return part;
}

std::string RgbImage::EncodePng() const {
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(width_));
  AppendBigEndian(header, static_cast<std::uint32_t>(height_));
  header += static_cast<char>(kPngBitDepth);
  header += static_cast<char>(kPngColourTypeRgb);
  header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  std::string scanlines;
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * kBytesPerPixel;
  scanlines.reserve((rowBytes + 1) * height_);
  for (int y = 0; y < height_; ++y) {
    scanlines += static_cast<char>(kPngFilterNone);
    scanlines.append(reinterpret_cast<const char*>(rgb_.data()) + y * rowBytes, rowBytes);
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", ZlibStored(scanlines));
  AppendChunk(png, "IEND", "");
  return png;
}

void RgbImage::WritePng(const fs::path& file) const {
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  WriteFileBytes(file, EncodePng());
}

}  // namespace vorn::e2e
