#include "png.h"

#include "checksums.h"
#include "deflate.h"

#include <array>
#include <string_view>

namespace vorn::art {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::uint8_t kFilterNone = 0;

// Length, type, data, then CRC-32 over type and data.
void writeChunk(ByteWriter& out, std::string_view type, std::span<const std::uint8_t> data) {
    ByteWriter body;
    for (char c : type) {
        body.u8(static_cast<std::uint8_t>(c));
    }
    body.append(data);
    out.be32(static_cast<std::uint32_t>(data.size()));
    out.append(body.bytes());
    out.be32(crc32(body.bytes()));
}

Bytes assemble(int width, int height, std::uint8_t colourType, const Bytes& scanlines) {
    ByteWriter header;
    header.be32(static_cast<std::uint32_t>(width));
    header.be32(static_cast<std::uint32_t>(height));
    header.u8(kBitDepth);
    header.u8(colourType);
    header.u8(0);  // compression: deflate
    header.u8(0);  // filter method 0
    header.u8(0);  // no interlace

    ByteWriter out;
    out.append(kSignature);
    writeChunk(out, "IHDR", header.bytes());
    writeChunk(out, "IDAT", zlibCompress(scanlines));
    writeChunk(out, "IEND", {});
    return out.take();
}

}  // namespace

Bytes encodePng(const RgbImage& image) {
    ByteWriter rows;
    for (int y = 0; y < image.height(); ++y) {
        rows.u8(kFilterNone);
        for (int x = 0; x < image.width(); ++x) {
            const Rgb& p = image.at(x, y);
            rows.u8(p.r);
            rows.u8(p.g);
            rows.u8(p.b);
        }
    }
    return assemble(image.width(), image.height(), kColourTypeRgb, rows.bytes());
}

Bytes encodePng(const RgbaImage& image) {
    ByteWriter rows;
    for (int y = 0; y < image.height(); ++y) {
        rows.u8(kFilterNone);
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            rows.u8(p.r);
            rows.u8(p.g);
            rows.u8(p.b);
            rows.u8(p.a);
        }
    }
    return assemble(image.width(), image.height(), kColourTypeRgba, rows.bytes());
}

}  // namespace vorn::art
