#include "png.h"

// Spelled with its folder: this directory's own png.h comes first on the include path.
#include <libpng16/png.h>

#include <stdexcept>
#include <string>

namespace vorn::art {

namespace {

// libpng reads the pixels in place, so they must be packed channel bytes.
static_assert(sizeof(Rgb) == 3 && sizeof(Rgba) == 4);

template <typename Pixel>
Bytes encode(const Image<Pixel>& image, png_uint_32 format) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width());
  png.height = static_cast<png_uint_32>(image.height());
  png.format = format;
  const void* pixels = image.pixels().data();
  constexpr int kRowStrideAsWidth = 0;
  png_alloc_size_t size = 0;
  Bytes bytes;
  if (png_image_write_get_memory_size(png, size, 0, pixels, kRowStrideAsWidth, nullptr)) {
    bytes.resize(size);
    png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels, kRowStrideAsWidth, nullptr);
  }
  if (PNG_IMAGE_FAILED(png)) {
    throw std::runtime_error(std::string("PNG encoding failed: ") + png.message);
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace

Bytes EncodePng(const RgbImage& image) { return encode(image, PNG_FORMAT_RGB); }

Bytes EncodePng(const RgbaImage& image) { return encode(image, PNG_FORMAT_RGBA); }

}  // namespace vorn::art
