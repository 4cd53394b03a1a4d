// Windows icon files (.ico): an ICONDIR, one ICONDIRENTRY per image, then each
// image as a 32-bit BGRA DIB (BITMAPINFOHEADER with doubled height) followed
// by its 1-bit AND mask. This is the form the resource compiler's ICON
// statement embeds and every Windows version since XP draws with alpha.
// Cursor files (.cur) are the same container with resource type 2 and the hot
// spot in place of each entry's planes and bit count.
#pragma once

#include "byte_writer.h"
#include "image.h"

#include <vector>

namespace vorn::art {

inline constexpr std::uint32_t kIconDirSize = 6;
inline constexpr std::uint32_t kIconDirEntrySize = 16;
inline constexpr int kLargestIconSide = 256;  // written as 0 in the directory

// Images must be square with sides 1..256; they are stored in the given order.
Bytes encodeIco(const std::vector<RgbaImage>& images);

// One square image (sides 1..256) with its hot spot, which must lie inside it.
Bytes encodeCur(const RgbaImage& image, int hotSpotX, int hotSpotY);

}  // namespace vorn::art
