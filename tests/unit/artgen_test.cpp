// Tests of the art tool: file formats (BMP, ICO, CUR, PNG/zlib), the flame
// sprite sheet's layout and look, the icon, and the settings dialog's skin and
// hand cursor. Files are parsed back byte by byte (art_test_support.h),
// independently of the encoders.
#include "art_files.h"
#include "art_test_support.h"
#include "bmp.h"
#include "byte_writer.h"
#include "checksums.h"
#include "deflate.h"
#include "dialog_art.h"
#include "dialog_files.h"
#include "flame.h"
#include "hand_cursor.h"
#include "ico.h"
#include "icon.h"
#include "noise.h"
#include "palette.h"
#include "png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorn::art {
namespace {

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

using namespace readback;

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
    expectBmp24Header(buildSheetFile(), kSheetWidth, kSheetHeight);
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


// ---- The settings dialog's art ---------------------------------------------------

struct BitmapSize {
    const char* name;
    int width;
    int height;
};
constexpr std::array<BitmapSize, 5> kDialogBitmaps = {{{"title_bar.bmp", 500, 22},
                                                       {"close_released.bmp", 15, 15},
                                                       {"close_pressed.bmp", 16, 15},
                                                       {"button_released.bmp", 21, 20},
                                                       {"button_pressed.bmp", 21, 20}}};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

Bytes dialogFile(const std::string& name) {
    for (const NamedFile& file : dialogArtFiles()) {
        if (file.name == name) return file.bytes;
    }
    ADD_FAILURE() << "no dialog file " << name;
    return {};
}

RgbImage dialogBitmap(const std::string& name) { return decodeBmp24(dialogFile(name)); }

TEST(ArtDialogFiles, AreTheFilesTheResourceScriptNames) {
    std::vector<std::string> names;
    for (const NamedFile& file : dialogArtFiles()) names.push_back(file.name);
    EXPECT_EQ(names, (std::vector<std::string>{"title_bar.bmp", "close_released.bmp", "close_pressed.bmp",
                                               "button_released.bmp", "button_pressed.bmp", "hand.cur"}));
}

TEST(ArtDialogFiles, BitmapsAre24BitBottomUpAtTheirSizes) {
    for (const BitmapSize& expected : kDialogBitmaps) {
        SCOPED_TRACE(expected.name);
        expectBmp24Header(dialogFile(expected.name), expected.width, expected.height);
    }
}

TEST(ArtDialogFiles, BuildArtWritesEveryOneAndRendersTheSameTwice) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vorn_artgen_dialog_test";
    std::filesystem::remove_all(dir);
    writeBuildArt(dir);
    const std::vector<NamedFile> first = dialogArtFiles();
    const std::vector<NamedFile> second = dialogArtFiles();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
        std::ifstream in(dir / first[i].name, std::ios::binary);
        const Bytes written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(written, first[i].bytes) << first[i].name;
    }
    std::filesystem::remove_all(dir);
}

TEST(ArtTitleBar, DarkNavyStripesKeepWhiteTextReadable) {
    const RgbImage bar = dialogBitmap("title_bar.bmp");
    ASSERT_EQ(bar.width(), 500);
    for (int x = 0; x < bar.width(); ++x) {
        for (int y = 1; y < bar.height(); ++y) {
            const Rgb& p = bar.at(x, y);
            ASSERT_TRUE(p.b > p.r && p.b > p.g) << x << "," << y << " is not blue";
            ASSERT_GE(contrast(p, kWhite), x < bar.width() / 3 && y >= 2 ? 7.0 : 4.5) << x << "," << y;
            if (x > 0) {  // a smooth ramp sideways: dropping columns leaves no seams
                const Rgb& q = bar.at(x - 1, y);
                ASSERT_LE(std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b), 3);
            }
        }
        const auto lum = [&bar, x](int y) { return luminance(bar.at(x, y)); };
        EXPECT_GT(lum(0), lum(2)) << "highlight along the top, column " << x;
        for (int y = 0; y + 1 < bar.height(); ++y) EXPECT_LT(lum(21), lum(y)) << "dark bottom edge";
        for (int y = 2; y + 2 <= 19; ++y) {
            EXPECT_LT((lum(y + 1) - lum(y)) * (lum(y + 2) - lum(y + 1)), 0.0) << "stripes at row " << y;
        }
    }
}

TEST(ArtCloseBox, ReleasedIsARaisedSquareWithACentredX) {
    const RgbImage box = dialogBitmap("close_released.bmp");
    for (int i = 0; i < 15; ++i) {
        for (const Rgb& p : {box.at(i, 0), box.at(i, 14), box.at(0, i), box.at(14, i)}) {
            ASSERT_LT(luminance(p), 0.02) << "dark frame around the box";
        }
    }
    EXPECT_GT(bevelLight(box), 1.0);
    const auto mark = closeMark(box, 0);
    EXPECT_GE(mark.size(), 15u);
    EXPECT_LE(mark.size(), 35u);
    EXPECT_NE(std::find(mark.begin(), mark.end(), std::make_pair(7, 7)), mark.end());
    for (const auto& [x, y] : mark) {
        EXPECT_NE(std::find(mark.begin(), mark.end(), std::make_pair(14 - x, y)), mark.end()) << "mirrored";
        EXPECT_NE(std::find(mark.begin(), mark.end(), std::make_pair(y, x)), mark.end()) << "diagonal";
    }
}

TEST(ArtCloseBox, PressedSinksMovesTheXAndBlendsItsExtraColumnIntoTheBar) {
    const RgbImage released = dialogBitmap("close_released.bmp");
    const RgbImage pressed = dialogBitmap("close_pressed.bmp");
    EXPECT_LT(bevelLight(pressed), -1.0);
    EXPECT_EQ(closeMark(pressed, 1), closeMark(released, 0));
    // The dialog shows the 500-pixel bar 395 wide, the box at (376, 4).
    const RgbImage bar = dialogBitmap("title_bar.bmp");
    const int barColumn = (376 + 15) * 500 / 395;
    for (int y = 0; y < 15; ++y) {
        EXPECT_EQ(pressed.at(15, y), bar.at(barColumn, 4 + y)) << "row " << y;
    }
}

TEST(ArtButtonFace, StretchesCleanlyUnderBlackTextAndPressedDiffers) {
    const RgbImage released = dialogBitmap("button_released.bmp");
    const RgbImage pressed = dialogBitmap("button_pressed.bmp");
    for (const RgbImage* face : {&released, &pressed}) {
        for (int y = 0; y < 20; ++y) {
            for (int x = 1; x < 20; ++x) {
                ASSERT_EQ(face->at(x, y), face->at(1, y)) << "only the side columns vary across";
                const bool inside = y > 0 && y < 19;
                ASSERT_TRUE(!inside || contrast(face->at(x, y), kBlack) >= 4.5) << x << "," << y;
            }
        }
    }
    EXPECT_GT(luminance(released.at(10, 0)), luminance(released.at(10, 19)) + 0.5);
    EXPECT_LT(luminance(pressed.at(10, 0)) + 0.5, luminance(pressed.at(10, 19)));
    EXPECT_GT(luminance(released.at(10, 5)), luminance(pressed.at(10, 5))) << "pressed is darker";
    int differing = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 21; ++x) differing += released.at(x, y) != pressed.at(x, y);
    }
    EXPECT_GT(differing, 21 * 20 * 9 / 10);
}

// ---- The hand cursor ---------------------------------------------------------------

TEST(ArtCursor, FileIsACursorWithOne32BitImageAndHotSpot12_1) {
    const Bytes file = dialogFile("hand.cur");
    ASSERT_EQ(file.size(), 6u + 16u + 40u + 32u * 32u * 4u + 4u * 32u);
    // Reserved, type 2 (cursor), one entry: 32 x 32, no palette, hot spot (12, 1).
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14), (Bytes{0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 12, 0, 1, 0}));
    EXPECT_EQ(readLe32(file, 14), file.size() - 22);
    EXPECT_EQ(readLe32(file, 18), 22u);
    EXPECT_EQ(readLe32(file, 22), 40u);
    EXPECT_EQ(readLe32(file, 26), 32u);
    EXPECT_EQ(readLe32(file, 30), 64u) << "colour and mask stacked";
    EXPECT_EQ(readLe16(file, 34), 1u);
    EXPECT_EQ(readLe16(file, 36), 32u);
    EXPECT_EQ(readLe32(file, 38), 0u);
}

TEST(ArtCursor, HotSpotIsTheTopOfAnUprightIndexFinger) {
    const IconImage hand = decodeIconImage(dialogFile("hand.cur"), 0);
    const auto opaque = [&hand](int x, int y) { return hand.pixels.at(x, y).a == 255; };
    const auto white = [&hand, &opaque](int x, int y) { return opaque(x, y) && hand.pixels.at(x, y).g > 200; };
    const auto dark = [&hand, &opaque](int x, int y) { return opaque(x, y) && hand.pixels.at(x, y).g < 60; };
    for (int x = 0; x < 32; ++x) EXPECT_FALSE(opaque(x, 0)) << "nothing above the fingertip";
    EXPECT_TRUE(dark(12, 1)) << "the hot spot is the outline at the tip";
    for (int y = 2; y <= 8; ++y) {
        EXPECT_TRUE(white(12, y)) << "finger below the hot spot, row " << y;
        EXPECT_TRUE(dark(10, y) && dark(14, y)) << "finger sides, row " << y;
    }
    for (int y = 1; y <= 6; ++y) {
        EXPECT_FALSE(opaque(9, y) || opaque(15, y)) << "the finger stands alone, row " << y;
    }
}

TEST(ArtCursor, MaskMatchesAlphaAndTheOutlineClosesTheWhiteHand) {
    const IconImage hand = decodeIconImage(dialogFile("hand.cur"), 0);
    int whites = 0, blacks = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgba& p = hand.pixels.at(x, y);
            ASSERT_EQ(hand.isMasked(x, y), p.a == 0) << x << "," << y;
            if (p.a == 0) {  // the mask path XORs these onto the screen: must be zero
                ASSERT_EQ(p, (Rgba{0, 0, 0, 0})) << x << "," << y;
                continue;
            }
            ASSERT_EQ(p.a, 255);
            const Rgb c{p.r, p.g, p.b};
            ASSERT_TRUE(c == kWhite || c == kBlack) << x << "," << y;
            if (c == kBlack) { ++blacks; continue; }
            ++whites;
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                ASSERT_NE(hand.pixels.at(x + dx, y + dy).a, 0) << "white touches the outside at " << x << "," << y;
            }
        }
    }
    EXPECT_GE(whites, 150);
    EXPECT_GE(blacks, 60);
}

TEST(ArtCursor, RejectsAHotSpotOutsideTheImage) {
    EXPECT_THROW(encodeCur(RgbaImage(32, 32), 32, 0), std::invalid_argument);
    EXPECT_THROW(encodeCur(RgbaImage(32, 32), 0, -1), std::invalid_argument);
    EXPECT_THROW(encodeCur(RgbaImage(16, 8), 0, 0), std::invalid_argument);
}

}  // namespace
}  // namespace vorn::art
