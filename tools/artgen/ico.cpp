#include "ico.h"

#include "bmp.h"

#include <stdexcept>

namespace vorn::art {

namespace {

constexpr std::uint16_t kIconResourceType = 1;
constexpr std::uint16_t kCursorResourceType = 2;
constexpr std::uint32_t kBitsPerPixel = 32;
constexpr std::uint32_t kMaskRowAlignmentBits = 32;

std::uint32_t maskStride(int width) {
    const std::uint32_t bits = static_cast<std::uint32_t>(width);
    return (bits + kMaskRowAlignmentBits - 1) / kMaskRowAlignmentBits * (kMaskRowAlignmentBits / 8);
}

// The AND mask: a set bit marks a pixel the old, alpha-less drawing path leaves
// untouched. Rows are bottom-up, most significant bit = leftmost pixel.
Bytes andMask(const RgbaImage& image) {
    const std::uint32_t stride = maskStride(image.width());
    Bytes mask(stride * static_cast<std::uint32_t>(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        const std::size_t row = static_cast<std::size_t>(image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            if (image.at(x, y).a == 0) {
                const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
                mask[row + static_cast<std::size_t>(x / 8)] |= bit;
            }
        }
    }
    return mask;
}

Bytes iconImage(const RgbaImage& image) {
    const auto side = static_cast<std::uint32_t>(image.width());
    const std::uint32_t colourBytes = side * side * 4;
    const Bytes mask = andMask(image);

    ByteWriter out;
    out.le32(kBmpInfoHeaderSize);
    out.le32(side);
    out.le32(side * 2);  // colour image and mask stacked, as icons require
    out.le16(1);         // planes
    out.le16(kBitsPerPixel);
    out.le32(0);  // BI_RGB
    out.le32(colourBytes + static_cast<std::uint32_t>(mask.size()));
    out.le32(0);  // resolution and palette fields are unused in icons
    out.le32(0);
    out.le32(0);
    out.le32(0);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            out.u8(p.b);
            out.u8(p.g);
            out.u8(p.r);
            out.u8(p.a);
        }
    }
    out.append(mask);
    return out.take();
}

// The shared ICO/CUR layout. Each directory entry's two words after the size
// bytes are planes and bit count in an icon, the hot spot in a cursor.
struct EntryWords {
    std::uint32_t first;
    std::uint32_t second;
};

Bytes encodeDirectory(std::uint16_t resourceType, const std::vector<RgbaImage>& images,
                      EntryWords words) {
    std::vector<Bytes> bodies;
    for (const RgbaImage& image : images) {
        if (image.width() != image.height() || image.width() < 1 ||
            image.width() > kLargestIconSide) {
            throw std::invalid_argument("icon and cursor images must be square, 1 to 256 pixels");
        }
        bodies.push_back(iconImage(image));
    }
    ByteWriter out;
    out.le16(0);  // reserved
    out.le16(resourceType);
    out.le16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = kIconDirSize + kIconDirEntrySize * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        const std::uint32_t stored = side == kLargestIconSide ? 0 : static_cast<std::uint32_t>(side);
        out.u8(stored);  // width
        out.u8(stored);  // height
        out.u8(0);       // palette size: none
        out.u8(0);       // reserved
        out.le16(words.first);
        out.le16(words.second);
        out.le32(static_cast<std::uint32_t>(bodies[i].size()));
        out.le32(offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies) {
        out.append(body);
    }
    return out.take();
}

}  // namespace

Bytes encodeIco(const std::vector<RgbaImage>& images) {
    constexpr std::uint32_t kPlanes = 1;
    return encodeDirectory(kIconResourceType, images, EntryWords{kPlanes, kBitsPerPixel});
}

Bytes encodeCur(const RgbaImage& image, int hotSpotX, int hotSpotY) {
    if (hotSpotX < 0 || hotSpotY < 0 || hotSpotX >= image.width() || hotSpotY >= image.height()) {
        throw std::invalid_argument("a cursor's hot spot must lie inside its image");
    }
    return encodeDirectory(kCursorResourceType, {image},
                           EntryWords{static_cast<std::uint32_t>(hotSpotX),
                                      static_cast<std::uint32_t>(hotSpotY)});
}

}  // namespace vorn::art
