// Tests of the preview still: its file, its look, the swarm frames it is made
// from and the area filter that shrinks them. The bitmap is parsed back here
// byte by byte, independently of the encoder.
#include "art_files.h"
#include "byte_writer.h"
#include "flame.h"
#include "preview_still.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vorn::art {
namespace {

constexpr std::size_t kBmpPixelOffset = 54;
constexpr int kStillStride = kStillWidth * 3;  // 456: already a multiple of 4
constexpr Rgb kWhite{255, 255, 255};

// The picture the still is made of is 1024 x 768; the still is 152 x 112.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

int countIf(const std::vector<Rgb>& pixels, auto predicate) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), predicate));
}

RgbImage uniform(int width, int height, Rgb colour) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.at(x, y) = colour;
    }
    return image;
}

// Lit in the fire's colours: clearly red, with red >= green >= blue.
bool isWarmLit(const Rgb& p) { return p.r >= 64 && p.r >= p.g && p.g >= p.b; }

bool isBlack(const Rgb& p) { return p == Rgb{}; }

// Reads the 24-bit bottom-up rows of a BMP back into a picture.
RgbImage decodeBmpRows(std::span<const std::uint8_t> file, int width, int height, int stride) {
    RgbImage image(width, height);
    for (int row = 0; row < height; ++row) {
        const std::size_t start = kBmpPixelOffset + static_cast<std::size_t>(row * stride);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(x) * 3;
            image.at(x, height - 1 - row) = Rgb{file[at + 2], file[at + 1], file[at]};
        }
    }
    return image;
}

// ---- the file -------------------------------------------------------------

TEST(ArtStillFile, IsA152By112BottomUp24BitBitmapOfTheStill) {
    const Bytes file = buildStillFile();
    ASSERT_EQ(file.size(), kBmpPixelOffset + static_cast<std::size_t>(kStillStride) * kStillHeight);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(readLe32(file, 2), file.size());
    EXPECT_EQ(readLe32(file, 10), kBmpPixelOffset);
    EXPECT_EQ(readLe32(file, 14), 40u);                  // BITMAPINFOHEADER
    EXPECT_EQ(readLe32(file, 18), 152u);                 // width
    EXPECT_EQ(readLe32(file, 22), 112u);                 // positive height: bottom-up
    EXPECT_EQ(readLe16(file, 26), 1u);                   // planes
    EXPECT_EQ(readLe16(file, 28), 24u);                  // bits per pixel
    EXPECT_EQ(readLe32(file, 30), 0u);                   // BI_RGB
    EXPECT_TRUE(decodeBmpRows(file, kStillWidth, kStillHeight, kStillStride) ==
                renderPreviewStill())
        << "the stored rows are not the still, top row last";
}

TEST(ArtStillFile, IsTheSameOnEveryRender) {
    EXPECT_TRUE(buildStillFile() == buildStillFile());
}

TEST(ArtStillFile, DependsOnTheSeedOfTheRun) {
    SwarmRun other = kStillRun;
    other.seed += 1;
    other.frames = 10;
    SwarmRun same = other;
    same.seed = kStillRun.seed;
    const RgbImage sheet = renderSpriteSheet();
    EXPECT_FALSE(renderSwarmFrame(other, sheet) == renderSwarmFrame(same, sheet));
}

// ---- the picture ------------------------------------------------------------

class ArtStillPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { still_ = new RgbImage(renderPreviewStill()); }
    static void TearDownTestSuite() {
        delete still_;
        still_ = nullptr;
    }
    static const RgbImage& still() { return *still_; }

private:
    static inline RgbImage* still_ = nullptr;
};

TEST_F(ArtStillPicture, ShowsManyWarmFlames) {
    EXPECT_GE(countIf(still().pixels(), isWarmLit), 400);
    const auto bright = [](const Rgb& p) { return p.r >= 200 && p.g >= 100; };
    EXPECT_GE(countIf(still().pixels(), bright), 20) << "no flame keeps its hot yellow core";
}

TEST_F(ArtStillPicture, SpreadsTheFlamesOverThePicture) {
    constexpr int kBands = 4;
    int bandsWithFlames = 0;
    int lowest = kStillHeight, highest = -1;
    for (int band = 0; band < kBands; ++band) {
        int lit = 0;
        for (int y = 0; y < kStillHeight; ++y) {
            for (int x = band * kStillWidth / kBands; x < (band + 1) * kStillWidth / kBands; ++x) {
                if (!isWarmLit(still().at(x, y))) continue;
                ++lit;
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            }
        }
        bandsWithFlames += lit >= 20 ? 1 : 0;
    }
    EXPECT_EQ(bandsWithFlames, kBands) << "some vertical quarter of the still has hardly a flame";
    EXPECT_GE(highest - lowest, kStillHeight / 2) << "the flames sit in one horizontal strip";
}

TEST_F(ArtStillPicture, KeepsTheBackgroundBlack) {
    const int pixels = kStillWidth * kStillHeight;
    EXPECT_GE(countIf(still().pixels(), isBlack), pixels / 2);
    EXPECT_TRUE(isBlack(still().at(0, 0)) || isBlack(still().at(kStillWidth - 1, kStillHeight - 1)));
}

// ---- the swarm frames ---------------------------------------------------------

// A sprite sheet whose cells are red on their left half and blue on their right.
RgbImage halfRedHalfBlueSheet() {
    RgbImage sheet(kSheetWidth, kSheetHeight);
    for (int y = 0; y < kSheetHeight; ++y) {
        for (int x = 0; x < kSheetWidth; ++x) {
            sheet.at(x, y) = x % kCellWidth < kCellWidth / 2 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
        }
    }
    return sheet;
}

TEST(ArtStillSwarm, ClearsTheScreenBeforeEveryFrame) {
    const RgbImage sheet = halfRedHalfBlueSheet();
    for (int frames : {1, 2, 30}) {
        const SwarmRun run{kScreenWidth, kScreenHeight, 1, 5, frames, kStillRun.seed};
        const RgbImage frame = renderSwarmFrame(run, sheet);
        EXPECT_EQ(countIf(frame.pixels(), [](const Rgb& p) { return !isBlack(p); }),
                  kCellWidth * kCellHeight)
            << "one flame after " << frames << " frames";
    }
}

TEST(ArtStillSwarm, OverlappingFlamesCombineTheirColours) {
    const RgbImage sheet = halfRedHalfBlueSheet();
    const SwarmRun run{kScreenWidth, kScreenHeight, 20, 5, 1, kStillRun.seed};
    const RgbImage frame = renderSwarmFrame(run, sheet);
    const int magenta = countIf(frame.pixels(), [](const Rgb& p) { return p == Rgb{255, 0, 255}; });
    EXPECT_GT(magenta, 0) << "flames a few pixels apart were copied over each other, not ORed";
    const int other = countIf(frame.pixels(), [](const Rgb& p) {
        return !isBlack(p) && !(p == Rgb{255, 0, 0}) && !(p == Rgb{0, 0, 255}) &&
               !(p == Rgb{255, 0, 255});
    });
    EXPECT_EQ(other, 0);
}

TEST(ArtStillSwarm, StartsFromTheCentreOfTheScreen) {
    const RgbImage sheet = halfRedHalfBlueSheet();
    const SwarmRun run{kScreenWidth, kScreenHeight, 50, 5, 1, kStillRun.seed};
    const RgbImage frame = renderSwarmFrame(run, sheet);
    // After one step of at most 5 pixels every sprite still covers (512 + 16, 384 + 32).
    EXPECT_FALSE(isBlack(frame.at(kScreenWidth / 2 + kCellWidth / 2, kScreenHeight / 2 + kCellHeight / 2)));
    EXPECT_TRUE(isBlack(frame.at(kScreenWidth / 2 - 10, kScreenHeight / 2 - 10)));
    EXPECT_TRUE(isBlack(frame.at(kScreenWidth / 2 + kCellWidth + 10, kScreenHeight / 2)));
}

// ---- the area filter -------------------------------------------------------------

// The mean over the source area an output pixel covers, in floating point: the
// covered rectangle clipped against each source pixel.
Rgb referenceBoxMean(const RgbImage& source, int width, int height, int ox, int oy) {
    const double sx = static_cast<double>(source.width()) / width;
    const double sy = static_cast<double>(source.height()) / height;
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < source.height(); ++y) {
        const double cy = std::max(0.0, std::min(y + 1.0, (oy + 1) * sy) - std::max(1.0 * y, oy * sy));
        for (int x = 0; x < source.width() && cy > 0; ++x) {
            const double cx = std::max(0.0, std::min(x + 1.0, (ox + 1) * sx) - std::max(1.0 * x, ox * sx));
            sum[0] += cx * cy * source.at(x, y).r;
            sum[1] += cx * cy * source.at(x, y).g;
            sum[2] += cx * cy * source.at(x, y).b;
        }
    }
    const auto mean = [&](double s) { return static_cast<std::uint8_t>(std::lround(s / (sx * sy))); };
    return Rgb{mean(sum[0]), mean(sum[1]), mean(sum[2])};
}

TEST(ArtStillBoxFilter, KeepsAUniformColourUniform) {
    const RgbImage source = uniform(kScreenWidth, kScreenHeight, Rgb{37, 150, 201});
    const RgbImage result = boxReduce(source, kStillWidth, kStillHeight);
    ASSERT_EQ(result.width(), kStillWidth);
    ASSERT_EQ(result.height(), kStillHeight);
    EXPECT_EQ(countIf(result.pixels(), [](const Rgb& p) { return p == Rgb{37, 150, 201}; }),
              kStillWidth * kStillHeight);
}

TEST(ArtStillBoxFilter, SharesAPixelOnABoundaryByTheCoveredParts) {
    // Source column 6 spans x 6..7; the first output column ends at 1024 / 152 = 6.74.
    RgbImage source(kScreenWidth, kScreenHeight);
    source.at(6, 0) = kWhite;
    const RgbImage result = boxReduce(source, kStillWidth, kStillHeight);
    EXPECT_EQ(result.at(0, 0), referenceBoxMean(source, kStillWidth, kStillHeight, 0, 0));
    EXPECT_EQ(result.at(1, 0), referenceBoxMean(source, kStillWidth, kStillHeight, 1, 0));
    EXPECT_EQ(result.at(0, 0).r, 4);  // 255 * 0.737 / (6.737 * 6.857)
    EXPECT_EQ(result.at(1, 0).r, 1);  // 255 * 0.263 / (6.737 * 6.857)
}

TEST(ArtStillBoxFilter, ConservesTheEnergyOfOneWhitePixelAndKeepsBlackBlack) {
    const double area = (static_cast<double>(kScreenWidth) / kStillWidth) *
                        (static_cast<double>(kScreenHeight) / kStillHeight);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{6, 6}, std::pair{500, 383},
                              std::pair{1023, 767}}) {
        RgbImage source(kScreenWidth, kScreenHeight);
        source.at(x, y) = kWhite;
        const RgbImage result = boxReduce(source, kStillWidth, kStillHeight);
        int total = 0;
        for (const Rgb& p : result.pixels()) total += p.g;
        const int lit = countIf(result.pixels(), [](const Rgb& p) { return !isBlack(p); });
        EXPECT_NEAR(total, 255.0 / area, 0.5 * lit + 1e-9) << "white pixel at " << x << "," << y;
        EXPECT_LE(lit, 4) << "a pixel touches at most four output pixels";
        EXPECT_GE(lit, 1);
    }
}

TEST(ArtStillBoxFilter, MatchesTheAreaMeanOnAnAwkwardRatio) {
    RgbImage source(23, 17);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            source.at(x, y) = Rgb{static_cast<std::uint8_t>((x * 37 + y * 11) % 256),
                                  static_cast<std::uint8_t>((x * y * 13) % 256),
                                  static_cast<std::uint8_t>(x == y ? 255 : 0)};
        }
    }
    const RgbImage result = boxReduce(source, 7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const Rgb expected = referenceBoxMean(source, 7, 5, x, y);
            const Rgb got = result.at(x, y);
            EXPECT_LE(std::abs(got.r - expected.r) + std::abs(got.g - expected.g) +
                          std::abs(got.b - expected.b), 1)
                << "output pixel " << x << "," << y;
        }
    }
}

TEST(ArtStillBoxFilter, RefusesAnEmptySize) {
    const RgbImage source(4, 4);
    EXPECT_THROW(boxReduce(source, 0, 2), std::invalid_argument);
    EXPECT_THROW(boxReduce(source, 2, 0), std::invalid_argument);
}

}  // namespace
}  // namespace vorn::art
