// Tests of the art tool: file formats (BMP, ICO, PNG/zlib), the flame sprite
// sheet's layout and look, and the icon. Files are parsed back byte by byte
// here, independently of the encoders.
#include "art_files.h"
#include "bmp.h"
#include "byte_writer.h"
#include "checksums.h"
#include "deflate.h"
#include "flame.h"
#include "ico.h"
#include "icon.h"
#include "noise.h"
#include "palette.h"
#include "png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::art {
namespace {

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

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
int readFixedSymbol(BitReader& in) {
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
int readLength(BitReader& in, int symbol) {
    const int index = symbol - 257;
    if (index == 28) return 258;
    int base = 3;
    for (int i = 0; i < index; ++i) base += 1 << (i < 8 ? 0 : (i - 4) / 4);
    const int extra = index < 8 ? 0 : (index - 4) / 4;
    return base + static_cast<int>(in.bits(extra));
}

int readDistance(BitReader& in) {
    std::uint32_t code = 0;
    for (int i = 0; i < 5; ++i) code = code << 1 | in.bit();
    const int index = static_cast<int>(code);
    int base = 1;
    for (int i = 0; i < index; ++i) base += 1 << (i < 4 ? 0 : (i - 2) / 2);
    const int extra = index < 4 ? 0 : (index - 2) / 2;
    return base + static_cast<int>(in.bits(extra));
}

Bytes inflateZlib(std::span<const std::uint8_t> stream) {
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
RgbImage decodeBmp24(const Bytes& file) {
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

bool isBlack(const Rgb& p) { return p.r == 0 && p.g == 0 && p.b == 0; }

// Sum of absolute channel differences between two frames.
long frameDifference(const RgbImage& a, const RgbImage& b) {
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

LitBox litBox(const RgbImage& cell) {
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

// ---- Checksums, compression, PNG --------------------------------------------

TEST(ArtChecksums, MatchPublishedCheckValues) {
    EXPECT_EQ(crc32(bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(bytesOf("")), 0u);
    EXPECT_EQ(crc32(bytesOf("6789"), crc32(bytesOf("12345"))), 0xCBF43926u);
    EXPECT_EQ(adler32(bytesOf("Wikipedia")), 0x11E60398u);
    EXPECT_EQ(adler32(bytesOf("")), 1u);
}

TEST(ArtChecksums, Adler32ReducesLongInputsCorrectly) {
    const Bytes data(100000, 0xFF);  // sums overflow 32 bits without reduction
    std::uint64_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(adler32(data), static_cast<std::uint32_t>(b << 16 | a));
}

// Random bytes with copies of every match length (3..258) from distances
// spread over every distance code (1..32768), a long run and a far repeat.
Bytes mixedTestData() {
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

TEST(ArtDeflate, RoundTripsThroughAnIndependentInflater) {
    for (const Bytes& data : {Bytes{}, bytesOf("a"), bytesOf("abcabcabcabcabcx"), mixedTestData()}) {
        EXPECT_EQ(inflateZlib(zlibCompress(data)), data);
    }
}

TEST(ArtDeflate, ShrinksRepetitiveData) {
    const Bytes zeros(200000, 0);
    EXPECT_LT(zlibCompress(zeros).size(), 2000u);
}

TEST(ArtPng, ChunksHeaderAndPixelsAreRight) {
    RgbImage image(3, 2);
    image.at(0, 0) = Rgb{1, 2, 3};
    image.at(2, 1) = Rgb{200, 100, 50};
    const Bytes png = encodePng(image);
    ASSERT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<std::string> types;
    Bytes idat;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t length = readBe32(png, at);
        const std::span<const std::uint8_t> typed(png.data() + at + 4, length + 4);
        EXPECT_EQ(readBe32(png, at + 8 + length), crc32(typed));
        types.emplace_back(typed.begin(), typed.begin() + 4);
        if (types.back() == "IHDR") {
            EXPECT_EQ(readBe32(png, at + 8), 3u);
            EXPECT_EQ(readBe32(png, at + 12), 2u);
            EXPECT_EQ(png[at + 16], 8);  // bit depth
            EXPECT_EQ(png[at + 17], 2);  // truecolour
        }
        if (types.back() == "IDAT") idat.insert(idat.end(), typed.begin() + 4, typed.end());
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    const Bytes rows = inflateZlib(idat);
    ASSERT_EQ(rows.size(), 2u * (1 + 3 * 3));
    EXPECT_EQ(rows[0], 0);  // filter type of the first row
    EXPECT_EQ((Bytes{rows[1], rows[2], rows[3]}), (Bytes{1, 2, 3}));
    EXPECT_EQ((Bytes{rows[17], rows[18], rows[19]}), (Bytes{200, 100, 50}));
    EXPECT_EQ(encodePng(toRgba(image))[8 + 8 + 9], 6) << "RGBA pictures use colour type 6";
}

// ---- BMP and the sprite sheet -------------------------------------------------

TEST(ArtBmp, RowsAreBottomUpBgrAndPadded) {
    RgbImage image(2, 2);
    image.at(0, 0) = Rgb{10, 20, 30};  // top left
    image.at(1, 1) = Rgb{40, 50, 60};  // bottom right
    const Bytes file = encodeBmp24(image);
    ASSERT_EQ(file.size(), 54u + 2 * 8);  // 6 bytes of pixels + 2 of padding per row
    EXPECT_EQ((Bytes(file.begin() + 54, file.begin() + 62)), (Bytes{0, 0, 0, 60, 50, 40, 0, 0}));
    EXPECT_EQ((Bytes(file.begin() + 62, file.begin() + 70)), (Bytes{30, 20, 10, 0, 0, 0, 0, 0}));
}

TEST(ArtSpriteSheet, BitmapHeaderDescribes256Square24Bit) {
    const Bytes file = buildSheetFile();
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(readLe32(file, 2), file.size());
    EXPECT_EQ(file.size(), 54u + 256u * 256u * 3u);
    EXPECT_EQ(readLe32(file, 10), 54u);  // pixel data offset
    EXPECT_EQ(readLe32(file, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(readLe32(file, 18), 256u);
    EXPECT_EQ(readLe32(file, 22), 256u);  // positive height: bottom-up
    EXPECT_EQ(readLe16(file, 26), 1u);    // planes
    EXPECT_EQ(readLe16(file, 28), 24u);   // bits per pixel
    EXPECT_EQ(readLe32(file, 30), 0u);    // BI_RGB
}

TEST(ArtSpriteSheet, EachFrameSitsInItsCellInReadingOrder) {
    EXPECT_EQ(cellOrigin(9).x, 32);
    EXPECT_EQ(cellOrigin(9).y, 64);
    EXPECT_EQ(cellOrigin(31).x, 224);
    EXPECT_EQ(cellOrigin(31).y, 192);
    const RgbImage sheet = decodeBmp24(buildSheetFile());
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const RgbImage cell = renderFlameFrame(frame);
        const CellOrigin origin = cellOrigin(frame);
        for (int y = 0; y < kCellHeight; ++y) {
            for (int x = 0; x < kCellWidth; ++x) {
                ASSERT_EQ(sheet.at(origin.x + x, origin.y + y), cell.at(x, y)) << "frame " << frame;
            }
        }
    }
}

TEST(ArtSpriteSheet, RenderingIsDeterministic) {
    EXPECT_EQ(buildSheetFile(), buildSheetFile());
    EXPECT_EQ(buildIconFile(), buildIconFile());
}

TEST(ArtSpriteSheet, BackgroundIsExactlyBlackWithNoHaze) {
    constexpr int kMinimumLitRed = 16;  // anything dimmer must have been cut to 0
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const RgbImage cell = renderFlameFrame(frame);
        for (int y = 0; y < kCellHeight; ++y) {
            for (int x = 0; x < kCellWidth; ++x) {
                const Rgb& p = cell.at(x, y);
                const bool border = y < 8 || y >= kCellHeight - 2 || x < 2 || x >= kCellWidth - 2;
                if (border) {
                    ASSERT_TRUE(isBlack(p)) << "frame " << frame << " at " << x << "," << y;
                }
                if (!isBlack(p)) {
                    ASSERT_GE(p.r, kMinimumLitRed) << "frame " << frame << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(ArtSpriteSheet, ColoursStayWarm) {
    const RgbImage sheet = renderSpriteSheet();
    for (const Rgb& p : sheet.pixels()) {
        ASSERT_GE(p.r, p.g);
        ASSERT_GE(p.g, p.b);
    }
}

TEST(ArtSpriteSheet, EveryFrameHasRedEdgesAndANearWhiteCore) {
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const RgbImage cell = renderFlameFrame(frame);
        Rgb brightest;
        int red = 0;
        for (const Rgb& p : cell.pixels()) {
            if (p.r + p.g + p.b > brightest.r + brightest.g + brightest.b) brightest = p;
            if (p.r > 3 * p.g) ++red;
        }
        EXPECT_GE(litBox(cell).count, 150) << "frame " << frame;
        EXPECT_EQ(brightest.r, 255) << "frame " << frame;
        EXPECT_GE(brightest.g, 230) << "frame " << frame;
        EXPECT_GE(brightest.b, 100) << "frame " << frame;
        EXPECT_GE(red, 20) << "frame " << frame;
    }
}

TEST(ArtSpriteSheet, FlameStandsLowInTheCellAndFlickers) {
    int shortest = kCellHeight;
    int tallest = 0;
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const LitBox box = litBox(renderFlameFrame(frame));
        EXPECT_GE(box.bottom, kFlameBaseY) << "frame " << frame;
        EXPECT_LE(box.bottom, kCellHeight - 2) << "frame " << frame;
        EXPECT_GE(box.right - box.left + 1, 12) << "frame " << frame;
        EXPECT_LE(box.right - box.left + 1, 20) << "frame " << frame;
        EXPECT_NEAR(box.centreX, kCellWidth / 2.0, 2.5) << "frame " << frame;
        shortest = std::min(shortest, box.bottom - box.top);
        tallest = std::max(tallest, box.bottom - box.top);
    }
    EXPECT_GE(tallest - shortest, 5) << "the flame's height should flicker";
    EXPECT_LE(tallest, 44);
}

TEST(ArtSpriteSheet, LastFrameFlowsIntoFirstWithoutAJump) {
    std::vector<long> steps;
    for (int frame = 0; frame + 1 < kFrameCount; ++frame) {
        steps.push_back(frameDifference(renderFlameFrame(frame), renderFlameFrame(frame + 1)));
        EXPECT_GT(steps.back(), 0) << "frames " << frame << " and " << frame + 1 << " are identical";
    }
    const long wrap = frameDifference(renderFlameFrame(kFrameCount - 1), renderFlameFrame(0));
    long total = 0;
    for (long step : steps) total += step;
    const long mean = total / static_cast<long>(steps.size());
    EXPECT_LE(wrap, *std::max_element(steps.begin(), steps.end()));
    EXPECT_LE(wrap, 2 * mean);
    EXPECT_GT(wrap, 0);
}

TEST(ArtSpriteSheet, AnimationIsPeriodicInThirtyTwoFrames) {
    // Rendering one loop further on must land back on the same pictures; any
    // term that does not complete whole cycles per loop shows up here.
    for (int frame : {0, 5, 31}) {
        const RgbImage later = renderFlameFrame(frame + kFrameCount);
        EXPECT_LE(frameDifference(renderFlameFrame(frame), later), 8) << "frame " << frame;
    }
}

TEST(ArtNoise, RepeatsAlongYAndStaysInRange) {
    constexpr int kPeriod = 8;
    for (double x = -3.3; x < 9.0; x += 0.71) {
        for (double y = -4.1; y < 12.0; y += 0.53) {
            const double n = fractalNoise(x, y, kPeriod, 3, 77);
            EXPECT_NEAR(n, fractalNoise(x, y + kPeriod, kPeriod, 3, 77), 1e-9);
            EXPECT_GE(n, 0.0);
            EXPECT_LE(n, 1.0);
        }
    }
    EXPECT_NE(valueNoise(0.5, 0.5, kPeriod, 1), valueNoise(0.5, 0.5, kPeriod, 2));
}

TEST(ArtPalette, RunsFromBlackToNearWhiteWithoutDarkening) {
    EXPECT_EQ(firePalette(0.0), (Rgb{0, 0, 0}));
    EXPECT_EQ(firePalette(-1.0), (Rgb{0, 0, 0}));
    const Rgb hottest = firePalette(1.0);
    EXPECT_EQ(hottest.r, 255);
    EXPECT_GE(hottest.b, 180);
    Rgb previous;
    for (int step = 0; step <= 1000; ++step) {
        const Rgb c = firePalette(step / 1000.0);
        ASSERT_GE(c.r, previous.r);
        ASSERT_GE(c.g, previous.g);
        ASSERT_GE(c.b, previous.b);
        previous = c;
    }
}

// ---- The icon -------------------------------------------------------------------

TEST(ArtIcon, DirectoryAndImageHeadersAreWellFormed) {
    const Bytes file = buildIconFile();
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(readLe16(file, 0), 0u);
    EXPECT_EQ(readLe16(file, 2), 1u);  // icon, not cursor
    ASSERT_EQ(readLe16(file, 4), kIconSizes.size());
    std::uint32_t expectedOffset = 6 + 16 * static_cast<std::uint32_t>(kIconSizes.size());
    for (std::size_t i = 0; i < kIconSizes.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const auto side = static_cast<std::uint32_t>(kIconSizes[i]);
        EXPECT_EQ(file[entry], side % 256) << "256 is stored as 0";
        EXPECT_EQ(file[entry + 1], side % 256);
        EXPECT_EQ(readLe16(file, entry + 4), 1u);   // planes
        EXPECT_EQ(readLe16(file, entry + 6), 32u);  // bits per pixel
        const std::uint32_t size = readLe32(file, entry + 8);
        const std::uint32_t offset = readLe32(file, entry + 12);
        EXPECT_EQ(offset, expectedOffset);
        const std::uint32_t maskRow = (side + 31) / 32 * 4;
        EXPECT_EQ(size, 40 + side * side * 4 + maskRow * side);
        ASSERT_LE(offset + size, file.size());
        EXPECT_EQ(readLe32(file, offset), 40u);
        EXPECT_EQ(readLe32(file, offset + 4), side);
        EXPECT_EQ(readLe32(file, offset + 8), 2 * side);  // colour + mask
        EXPECT_EQ(readLe16(file, offset + 14), 32u);
        expectedOffset = offset + size;
    }
    EXPECT_EQ(expectedOffset, file.size());
}

TEST(ArtIcon, MaskMatchesAlphaAndTheFlameIsOpaqueAndWarm) {
    const Bytes file = buildIconFile();
    for (std::size_t i = 0; i < kIconSizes.size(); ++i) {
        const int side = kIconSizes[i];
        const std::uint32_t pixels = readLe32(file, 6 + 16 * i + 12) + 40;
        const std::uint32_t mask = pixels + static_cast<std::uint32_t>(side * side * 4);
        const int maskRow = (side + 31) / 32 * 4;
        int opaque = 0;
        for (int row = 0; row < side; ++row) {  // stored bottom-up
            for (int x = 0; x < side; ++x) {
                const std::size_t p = pixels + static_cast<std::size_t>(row * side + x) * 4;
                const std::uint8_t b = file[p], g = file[p + 1], r = file[p + 2], a = file[p + 3];
                const bool masked = (file[mask + row * maskRow + x / 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(masked, a == 0) << "size " << side << " at " << x << "," << row;
                if (a > 0) {
                    ++opaque;
                    ASSERT_TRUE(r >= g && g >= b) << "size " << side;
                }
            }
        }
        EXPECT_GT(opaque, side * side / 3) << "size " << side;
        EXPECT_LT(opaque, side * side) << "size " << side;
        const RgbaImage icon = renderIcon(side);
        EXPECT_EQ(icon.at(0, 0).a, 0);
        EXPECT_EQ(icon.at(side - 1, 0).a, 0);
        EXPECT_EQ(icon.at(side / 2, side * 3 / 4).a, 255) << "the flame's heart is solid";
        EXPECT_GE(icon.at(side / 2, side * 3 / 4).g, 200) << "and hot (yellow-white)";
    }
}

TEST(ArtIcon, RejectsImagesThatCannotBeIcons) {
    EXPECT_THROW(encodeIco({RgbaImage(16, 8)}), std::invalid_argument);
    EXPECT_THROW(encodeIco({RgbaImage(512, 512)}), std::invalid_argument);
}

}  // namespace
}  // namespace vorn::art
