#include "bmp.h"

namespace vorn::art {

namespace {

constexpr std::uint32_t kBytesPerPixel = 3;
constexpr std::uint32_t kBitsPerPixel = 24;
constexpr std::uint32_t kRowAlignment = 4;
constexpr std::uint32_t kCompressionNone = 0;  // BI_RGB
// 72 dots per inch expressed in pixels per metre, the usual default.
constexpr std::uint32_t kPixelsPerMetre = 2835;

}  // namespace

std::uint32_t bmpRowStride(int width) {
    const std::uint32_t raw = static_cast<std::uint32_t>(width) * kBytesPerPixel;
    return (raw + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

Bytes encodeBmp24(const RgbImage& image) {
    const std::uint32_t stride = bmpRowStride(image.width());
    const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(image.height());
    const std::uint32_t pixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;

    ByteWriter out;
    out.u8('B');
    out.u8('M');
    out.le32(pixelOffset + pixelBytes);  // whole file size
    out.le32(0);                         // two reserved words
    out.le32(pixelOffset);

    out.le32(kBmpInfoHeaderSize);
    out.le32(static_cast<std::uint32_t>(image.width()));
    out.le32(static_cast<std::uint32_t>(image.height()));  // positive: bottom-up rows
    out.le16(1);                                            // planes
    out.le16(kBitsPerPixel);
    out.le32(kCompressionNone);
    out.le32(pixelBytes);
    out.le32(kPixelsPerMetre);
    out.le32(kPixelsPerMetre);
    out.le32(0);  // palette colours used
    out.le32(0);  // palette colours important

    const std::uint32_t padding = stride - static_cast<std::uint32_t>(image.width()) * kBytesPerPixel;
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb& p = image.at(x, y);
            out.u8(p.b);
            out.u8(p.g);
            out.u8(p.r);
        }
        for (std::uint32_t i = 0; i < padding; ++i) {
            out.u8(0);
        }
    }
    return out.take();
}

}  // namespace vorn::art
