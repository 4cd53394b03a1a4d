// Pictures packed for the program's resources, exactly and about a fifth of a
// bitmap file's size for the mostly black art. The layout: width and height (2
// bytes each, little-endian), then the pixels from the top row down as packets
// that may run on from one row into the next, each a count byte c and then
//   c < 128:  c + 1 pixels as they are,
//   c >= 128: one pixel repeated c - 126 times (2 to 129);
// a pixel is 3 bytes: red, green, blue.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/raster.h"

namespace vorn {

struct PictureSize {
  std::int32_t width = 0, height = 0;
};

// `picture` packed; throws std::length_error if a side exceeds 65535 pixels.
std::vector<std::uint8_t> PackPicture(const ConstPixelView& picture);

// The size `packed` declares; none when it is shorter than its header.
std::optional<PictureSize> PackedPictureSize(std::span<const std::uint8_t> packed);

// Unpacks `packed` into `out`, which has the declared size. False when the size
// differs, the packets are cut short, or they give more or fewer pixels than
// the picture has (what was written so far stays).
bool UnpackPicture(std::span<const std::uint8_t> packed, const PixelView& out);

}  // namespace vorn
