// Windows bitmap files: BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits per
// pixel, BI_RGB, rows stored bottom-up as B, G, R and padded to 4 bytes.
#pragma once

#include "byte_writer.h"
#include "image.h"

namespace vorn::art {

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;

// Bytes in one stored row of a 24-bit bitmap, padding included.
std::uint32_t bmpRowStride(int width);

Bytes encodeBmp24(const RgbImage& image);

}  // namespace vorn::art
