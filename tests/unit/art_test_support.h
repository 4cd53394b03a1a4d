// Helpers for the art tests: an independent zlib inflater and data to feed
// it, readers that parse the art tool's files back byte by byte (without its
// encoders), and a few measurements of pictures.
#pragma once

#include "byte_writer.h"
#include "checksums.h"
#include "flame.h"
#include "image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vorn::art::readback {

// ---- A small independent inflater (fixed-Huffman blocks only) -------------

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint32_t bit() {
        if (position_ / 8 >= data_.size()) throw std::runtime_error("deflate stream ends early");
        const std::uint32_t b = (data_[position_ / 8] >> (position_ % 8)) & 1u;
        ++position_;
        return b;
    }

    std::uint32_t bits(int count) {  // least significant bit first
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= bit() << i;
        }
        return value;
    }

    std::size_t bytesUsed() const { return (position_ + 7) / 8; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

// RFC 1951 3.2.6: reads one literal/length symbol of the fixed code.
inline int readFixedSymbol(BitReader& in) {
    std::uint32_t code = 0;
    for (int length = 1; length <= 9; ++length) {
        code = code << 1 | in.bit();
        if (length == 7 && code <= 0x17) return 256 + static_cast<int>(code);
        if (length == 8 && code >= 0x30 && code <= 0xBF) return static_cast<int>(code) - 0x30;
        if (length == 8 && code >= 0xC0 && code <= 0xC7) return 280 + static_cast<int>(code) - 0xC0;
        if (length == 9 && code >= 0x190) return 144 + static_cast<int>(code) - 0x190;
    }
    throw std::runtime_error("bad fixed Huffman code");
}

// Length (symbol 257..285) or distance (code 0..29) from the RFC's rules for
// base values and extra bits, worked out here rather than copied as tables.
inline int readLength(BitReader& in, int symbol) {
    const int index = symbol - 257;
    if (index == 28) return 258;
    int base = 3;
    for (int i = 0; i < index; ++i) base += 1 << (i < 8 ? 0 : (i - 4) / 4);
    const int extra = index < 8 ? 0 : (index - 4) / 4;
    return base + static_cast<int>(in.bits(extra));
}

inline int readDistance(BitReader& in) {
    std::uint32_t code = 0;
    for (int i = 0; i < 5; ++i) code = code << 1 | in.bit();
    const int index = static_cast<int>(code);
    int base = 1;
    for (int i = 0; i < index; ++i) base += 1 << (i < 4 ? 0 : (i - 2) / 2);
    const int extra = index < 4 ? 0 : (index - 2) / 2;
    return base + static_cast<int>(in.bits(extra));
}

inline Bytes inflateZlib(std::span<const std::uint8_t> stream) {
    EXPECT_EQ((stream[0] * 256u + stream[1]) % 31u, 0u) << "zlib header check";
    EXPECT_EQ(stream[0] & 0x0Fu, 8u) << "compression method deflate";
    BitReader in(stream.subspan(2));
    Bytes out;
    for (bool last = false; !last;) {
        last = in.bit() == 1;
        if (in.bits(2) != 1) throw std::runtime_error("expected a fixed-Huffman block");
        for (int symbol = readFixedSymbol(in); symbol != 256; symbol = readFixedSymbol(in)) {
            if (symbol < 256) {
                out.push_back(static_cast<std::uint8_t>(symbol));
                continue;
            }
            const int length = readLength(in, symbol);
            const int distance = readDistance(in);
            if (distance > static_cast<int>(out.size()) || distance > 32768 /* window */) {
                throw std::runtime_error("distance outside the window");
            }
            for (int i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
        }
    }
    const std::size_t trailer = 2 + in.bytesUsed();
    EXPECT_EQ(stream.size(), trailer + 4) << "Adler-32 trailer right after the data";
    EXPECT_EQ(readBe32(stream, trailer), adler32(out));
    return out;
}

// ---- Picture helpers --------------------------------------------------------

// Reads a 24-bit bottom-up BMP back into a top-down picture.
inline RgbImage decodeBmp24(const Bytes& file) {
    const int width = static_cast<int>(readLe32(file, 18));
    const int height = static_cast<int>(readLe32(file, 22));
    const std::uint32_t offset = readLe32(file, 10);
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::size_t p = row + static_cast<std::size_t>(x) * 3;
            image.at(x, y) = Rgb{file[p + 2], file[p + 1], file[p]};
        }
    }
    return image;
}

inline bool isBlack(const Rgb& p) { return p.r == 0 && p.g == 0 && p.b == 0; }

// Sum of absolute channel differences between two frames.
inline long frameDifference(const RgbImage& a, const RgbImage& b) {
    long sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const Rgb& p = a.at(x, y);
            const Rgb& q = b.at(x, y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    }
    return sum;
}

struct LitBox {
    int count = 0;
    int left = kCellWidth, right = -1, top = kCellHeight, bottom = -1;
    double centreX = 0.0;  // brightness-weighted
};

inline LitBox litBox(const RgbImage& cell) {
    LitBox box;
    double weight = 0.0;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            const Rgb& p = cell.at(x, y);
            if (isBlack(p)) continue;
            ++box.count;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            const double w = p.r + p.g + p.b;
            box.centreX += w * (x + 0.5);
            weight += w;
        }
    }
    box.centreX = weight > 0.0 ? box.centreX / weight : 0.0;
    return box;
}

// Random bytes with copies of every match length (3..258) from distances
// spread over every distance code (1..32768), a long run and a far repeat.
inline Bytes mixedTestData() {
    Bytes data;
    std::uint32_t state = 12345;
    const auto randomByte = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (int i = 0; i < 33000; ++i) data.push_back(randomByte());
    for (int i = 0; i < 3000; ++i) {
        const std::size_t span = std::size_t{1} << (i % 15);
        const std::size_t distance = span + static_cast<std::size_t>(i * 13) % span;
        const int length = 3 + i * 37 % 256;
        for (int k = 0; k < length; ++k) data.push_back(data[data.size() - distance]);
        data.push_back(randomByte());
        data.push_back(randomByte());
    }
    data.insert(data.end(), 1000, 0x00);
    // A repeat from beyond deflate's 32 KiB window must not become a match.
    const Bytes farAway(data.end() - 36000, data.end() - 35700);
    data.insert(data.end(), farAway.begin(), farAway.end());
    return data;
}

// One image of an .ico or .cur file, read back top-down: its colours with
// alpha and its AND mask, one flag per pixel (set: leave the screen alone).
struct IconImage {
    RgbaImage pixels;
    std::vector<bool> masked;  // row-major, top row first

    bool isMasked(int x, int y) const {
        return masked[static_cast<std::size_t>(y * pixels.width() + x)];
    }
};

// Reads the 32-bit image that directory entry `entry` points at.
inline IconImage decodeIconImage(const Bytes& file, std::size_t entry) {
    constexpr std::size_t kDirectorySize = 6;
    constexpr std::size_t kEntrySize = 16;
    constexpr std::size_t kInfoHeaderSize = 40;
    const std::size_t start = readLe32(file, kDirectorySize + kEntrySize * entry + 12);
    const int width = static_cast<int>(readLe32(file, start + 4));
    const int height = static_cast<int>(readLe32(file, start + 8)) / 2;  // colour + mask
    const std::size_t colours = start + kInfoHeaderSize;
    const std::size_t mask = colours + static_cast<std::size_t>(width * height) * 4;
    const std::size_t maskRow = static_cast<std::size_t>(width + 31) / 32 * 4;
    IconImage image{RgbaImage(width, height), {}};
    for (int y = 0; y < height; ++y) {
        const auto row = static_cast<std::size_t>(height - 1 - y);  // stored bottom-up
        for (int x = 0; x < width; ++x) {
            const std::size_t p =
                colours + (row * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
            image.pixels.at(x, y) = Rgba{file[p + 2], file[p + 1], file[p], file[p + 3]};
            const std::uint8_t bits = file[mask + row * maskRow + static_cast<std::size_t>(x / 8)];
            image.masked.push_back(((bits >> (7 - x % 8)) & 1) != 0);
        }
    }
    return image;
}

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
inline double luminance(const Rgb& c) {
    const auto linear = [](std::uint8_t channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// Contrast ratio of two colours, 1 (same) to 21 (black on white).
inline double contrast(const Rgb& a, const Rgb& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Checks the file and info headers of a 24-bit, bottom-up, uncompressed BMP
// and that the file holds exactly its padded rows.
inline void expectBmp24Header(const Bytes& file, int width, int height) {
    ASSERT_GE(file.size(), 54u);
    const auto stride = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file.size(), 54u + stride * static_cast<std::uint32_t>(height));
    EXPECT_EQ(readLe32(file, 2), file.size());
    EXPECT_EQ(readLe32(file, 10), 54u);  // pixels right after the headers
    EXPECT_EQ(readLe32(file, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(readLe32(file, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(readLe32(file, 22), static_cast<std::uint32_t>(height));  // positive: bottom-up
    EXPECT_EQ(readLe16(file, 26), 1u);                                  // planes
    EXPECT_EQ(readLe16(file, 28), 24u);                                 // bits per pixel
    EXPECT_EQ(readLe32(file, 30), 0u);                                  // BI_RGB
}

// Dark pixels inside a 15 x 15 close box's bevel (the x), moved back by
// `shift` pixels on both axes.
inline std::vector<std::pair<int, int>> closeMark(const RgbImage& box, int shift) {
    std::vector<std::pair<int, int>> mark;
    for (int y = 2; y <= 12; ++y) {
        for (int x = 2; x <= 12; ++x) {
            if (luminance(box.at(x, y)) < 0.1) mark.emplace_back(x - shift, y - shift);
        }
    }
    return mark;
}

// Positive when the bevel is lit from the top left (raised), negative when sunk.
inline double bevelLight(const RgbImage& box) {
    double sum = 0.0;
    for (int i = 2; i <= 12; ++i) {
        sum += luminance(box.at(1, i)) - luminance(box.at(13, i));
        sum += luminance(box.at(i, 1)) - luminance(box.at(i, 13));
    }
    return sum;
}

}  // namespace vorn::art::readback
