// Tests of the art tool: its pictures (sprite sheet, preview still, icon, hand cursor, dialog
// skin), its BMP and PNG writers, and the icon and cursor the build assembles with icotool.
#include <gtest/gtest.h>
// This directory's png.h (the art tool's writer) shadows libpng's on the include path.
#include <libpng16/png.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "bmp.h"
#include "dialog_art.h"
#include "flame.h"
#include "hand_cursor.h"
#include "icon.h"
#include "png.h"
#include "preview_still.h"

namespace vorn::art {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kMagenta{255, 0, 255};
constexpr Rgb kGrey{37, 150, 201};
constexpr Rgba kOutline{0, 0, 0, 255}, kFill{255, 255, 255, 255};

Bytes BuiltFile(const std::string& name) {
  std::ifstream in(std::string(VORN_RENDERED_ART_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t Le32(const Bytes& b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
int Brightness(const Rgb& p) { return p.r + p.g + p.b; }
int Count(const RgbImage& image, auto predicate) {
  return static_cast<int>(std::ranges::count_if(image.pixels(), predicate));
}

// Every frame, rendered once: frame + 32 must look like frame, so the loop needs no more.
const RgbImage& Frame(int frame) {
  static std::vector<RgbImage> frames;
  for (int i = int(frames.size()); i < 32; ++i) frames.push_back(RenderFlameFrame(i));
  return frames.at(frame);
}

long Difference(const RgbImage& a, const RgbImage& b) {  // in brightness, summed over pixels
  long sum = 0;
  for (std::size_t i = 0; i < a.pixels().size(); ++i)
    sum += std::abs(Brightness(a.pixels()[i]) - Brightness(b.pixels()[i]));
  return sum;
}

// Catches haze on the black the saver ORs cells onto (the black margins at every scale:
// SpriteSheet.HoldsTheFramesInReadingOrderInCellsOfItsScaleOnBlack), a flame off its base, centre
// or size, and a still or jumping loop: frames differ, 31 flows into 0, and frame + 32 is frame.
TEST(ArtSpriteSheet, EveryFrameIsACentredFlameOnBlackAndTheLoopHasNoJump) {
  int shortest = 64, tallest = 0;
  long largestStep = 0;
  for (int frame = 0; frame < 32; ++frame) {
    int lit = 0, haze = 0, left = 32, right = -1, top = 64, bottom = -1;
    Rgb hottest;
    const RgbImage& cell = Frame(frame);
    for (int i = 0; i < 32 * 64; ++i) {
      const int x = i % 32, y = i / 32;
      const Rgb p = cell.at(x, y);
      haze += !(p.r >= p.g && p.g >= p.b) || (p != kBlack && p.r < 16);
      if (p == kBlack) continue;
      ++lit, left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
      if (Brightness(p) > Brightness(hottest)) hottest = p;
    }
    EXPECT_EQ(haze, 0) << frame;
    EXPECT_GE(lit, 150) << frame;
    EXPECT_TRUE(hottest.r == 255 && hottest.g >= 230 && hottest.b >= 100) << "hot core " << frame;
    EXPECT_TRUE(bottom >= kFlameBaseY && right - left >= 11 && right - left <= 19) << frame;
    EXPECT_NEAR((left + right + 1) / 2.0, 16.0, 3.0) << frame;
    shortest = std::min(shortest, bottom - top), tallest = std::max(tallest, bottom - top);
    const long step = Difference(cell, Frame((frame + 1) % 32));
    EXPECT_GT(step, 0) << frame;
    largestStep = std::max(largestStep, frame < 31 ? step : 0);
  }
  EXPECT_GE(tallest - shortest, 5) << "the height flickers";
  EXPECT_LE(Difference(Frame(31), Frame(0)), largestStep) << "the loop jumps";
  for (int frame : {0, 5, 31})
    EXPECT_LE(Difference(Frame(frame), RenderFlameFrame(frame + 32)), 8) << frame;
}

// `count` flames after `frames` frames, from a sheet whose cells are red left and blue right.
RgbImage SwarmFrame(int count, int frames) {
  RgbImage sheet(256, 256);
  for (int i = 0; i < 256 * 256; ++i) sheet.at(i % 256, i / 256) = i % 32 < 16 ? kRed : kBlue;
  return RenderSwarmFrame(SwarmRun{1024, 768, count, 5, frames, kStillRun.seed}, sheet);
}

// Catches a swarm drawn with trails (no clear per frame) or copied instead of ORed, and an area
// filter that shifts colours, loses light at the far edge or mis-splits pixels.
TEST(ArtStill, TheSwarmClearsEachFrameAndOrsItsFlamesAndTheAreaFilterKeepsColourAndLight) {
  for (int frames : {1, 2, 30})
    EXPECT_EQ(Count(SwarmFrame(1, frames), [](Rgb p) { return p != kBlack; }), 32 * 64) << frames;
  const RgbImage crowd = SwarmFrame(20, 1);
  EXPECT_GT(std::ranges::count(crowd.pixels(), kMagenta), 0);
  for (Rgb p : crowd.pixels()) ASSERT_TRUE(p == kBlack || p == kRed || p == kBlue || p == kMagenta);
  RgbImage source(1024, 768);
  for (int i = 0; i < 1024 * 768; ++i) source.at(i % 1024, i / 1024) = kGrey;
  EXPECT_EQ(std::ranges::count(BoxReduce(source, 152, 112).pixels(), kGrey), 152 * 112);
  RgbImage dots(1024, 768);
  dots.at(6, 0) = dots.at(1023, 767) = Rgb{255, 255, 255};
  const RgbImage result = BoxReduce(dots, 152, 112);
  // A pixel is worth 255 / (6.74 * 6.86) = 5.5; x 6..7 splits 74 : 26 at output column 0's end.
  EXPECT_EQ(std::vector({+result.at(0, 0).r, +result.at(1, 0).r, +result.at(151, 111).r}),
            std::vector({4, 1, 6}));
  EXPECT_THROW(BoxReduce(dots, 0, 2), std::invalid_argument);
}

// Catches a still that is empty, clustered, on grey, or different from render to render.
TEST(ArtStill, ShowsWarmFlamesSpreadOverBlack) {
  const RgbImage still = RenderPreviewStill();
  ASSERT_EQ(std::pair(still.width(), still.height()), std::pair(152, 112));
  EXPECT_EQ(EncodeBmp24(still), EncodeBmp24(RenderPreviewStill()));
  const auto warm = [](Rgb p) { return p.r >= 64 && p.r >= p.g && p.g >= p.b; };
  EXPECT_GE(Count(still, warm), 400);
  EXPECT_GE(Count(still, [](Rgb p) { return p.r >= 200 && p.g >= 100; }), 20) << "hot cores";
  EXPECT_GE(Count(still, [](Rgb p) { return p == kBlack; }), 152 * 112 / 2);
  int perQuarter[4] = {}, lowest = 112, highest = -1;
  for (int i = 0; i < 152 * 112; ++i) {
    if (!warm(still.at(i % 152, i / 152))) continue;
    ++perQuarter[i % 152 / 38];
    lowest = std::min(lowest, i / 152), highest = std::max(highest, i / 152);
  }
  for (int lit : perQuarter) EXPECT_GE(lit, 20);
  EXPECT_GE(highest - lowest, 56);
}

// libpng's reading of `file`, converted to `format`.
Bytes DecodePng(const Bytes& file, png_uint_32 format) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_memory(&png, file.data(), file.size()));
  png.format = format;
  Bytes pixels(PNG_IMAGE_SIZE(png));
  EXPECT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr));
  return pixels;
}

// Catches pictures handed to libpng in the wrong layout (channels, alpha, row order).
TEST(ArtFiles, PngDecodesToThePicture) {
  RgbaImage image(2, 2);
  image.at(1, 0) = Rgba{1, 2, 3, 4};
  image.at(0, 1) = Rgba{200, 100, 50, 255};
  EXPECT_EQ(DecodePng(EncodePng(image), PNG_FORMAT_RGBA),
            (Bytes{0, 0, 0, 0, 1, 2, 3, 4, 200, 100, 50, 255, 0, 0, 0, 0}));
  EXPECT_EQ(DecodePng(EncodePng(Flatten(image, kBlack)), PNG_FORMAT_RGB),
            (Bytes{0, 0, 0, 0, 0, 0, 200, 100, 50, 0, 0, 0}));
}

// Catches an icon size drawn wrong or differently from render to render, missing from vorn.ico or
// stored there below 32 bits (256 is stored as PNG).
TEST(ArtIcon, EverySizeIsAWarmFlameOnClearAndTheBuiltIconHoldsItAt32Bits) {
  const Bytes ico = BuiltFile("vorn.ico");
  ASSERT_GE(ico.size(), 6u + 16 * kIconSizes.size());
  ASSERT_EQ(std::pair(Le16(ico, 2), Le16(ico, 4)), std::pair(1u, std::uint32_t{kIconSizes.size()}));
  for (std::size_t i = 0; i < kIconSizes.size(); ++i) {
    const int side = kIconSizes[i];
    const std::size_t entry = 6 + 16 * i, image = Le32(ico, entry + 12);
    EXPECT_EQ(ico[entry], side % 256) << "width, 256 written as 0";
    EXPECT_EQ(Le16(ico, entry + 6), 32u) << "bits per pixel of " << side;
    EXPECT_EQ(Bytes(ico.begin() + image, ico.begin() + image + 4),
              side == 256 ? (Bytes{0x89, 'P', 'N', 'G'}) : (Bytes{40, 0, 0, 0}));
    const RgbaImage icon = RenderIcon(side);
    EXPECT_EQ(icon, RenderIcon(side));
    const auto opaque = std::ranges::count_if(icon.pixels(), [](Rgba p) { return p.a > 0; });
    EXPECT_TRUE(opaque > side * side / 3 && opaque < side * side) << side;
    for (Rgba p : icon.pixels()) ASSERT_TRUE(p.a == 0 || (p.r >= p.g && p.g >= p.b)) << side;
    EXPECT_EQ(icon.at(0, 0).a + icon.at(side - 1, 0).a, 0) << "clear corners " << side;
    const Rgba heart = icon.at(side / 2, side * 3 / 4);
    EXPECT_TRUE(heart.a == 255 && heart.g >= 200) << "solid hot heart " << side;
  }
}

// Catches a cursor that clicks beside the fingertip, or leaks: clear is all zero, white outlined.
TEST(ArtCursor, HotSpotIsTheTipOfAClosedUprightHand) {
  const Bytes cur = BuiltFile("hand.cur");  // one 32 x 32 image, hot spot (12, 1), 32 bits
  ASSERT_GE(cur.size(), 22u);
  EXPECT_EQ(Bytes(cur.begin(), cur.begin() + 14),
            (Bytes{0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 12, 0, 1, 0}));
  EXPECT_EQ(Le16(cur, Le32(cur, 18) + 14), 32u);
  const RgbaImage hand = RenderHandCursor();
  EXPECT_EQ(hand.at(kHandHotSpotX, kHandHotSpotY), kOutline) << "the tip's outline";
  for (int y = 2; y <= 8; ++y) EXPECT_EQ(hand.at(12, y), kFill) << "the finger below, row " << y;
  const auto clear = [&hand](int x, int y) {
    return x < 0 || x > 31 || y < 0 || y > 31 || hand.at(x, y).a == 0;
  };
  for (int i = 0; i < 32 * 32; ++i) {
    const int x = i % 32, y = i / 32;
    const Rgba p = hand.at(x, y);
    ASSERT_TRUE(p == Rgba{} || p == kOutline || p == kFill) << x << "," << y;
    ASSERT_FALSE(p == kFill &&
                 (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)));
    ASSERT_FALSE(y == 0 && p.a != 0) << "nothing above the tip";
  }
}

// Catches dialog art at another size than the dialog stretches from; faces that break up when
// stretched to 91 x 22, or look the same pressed.
TEST(ArtDialog, PiecesHaveTheirSizesAndFacesStretchCleanly) {
  const RgbImage up = RenderButtonFace(Face::Released), down = RenderButtonFace(Face::Pressed);
  // clang-format off
  const std::tuple<RgbImage, int, int> kPieces[] = {{RenderTitleBar(), 500, 22}, {up, 21, 20},
      {down, 21, 20}, {RenderCloseBox(Face::Released), 15, 15},
      {RenderCloseBox(Face::Pressed), 16, 15}};
  // clang-format on
  for (const auto& [image, w, h] : kPieces)
    EXPECT_EQ(std::pair(image.width(), image.height()), std::pair(w, h));
  for (int i = 0; i < 20 * 18; ++i) {  // only the two side columns may differ from column 1
    const int x = 2 + i % 18, y = i / 18;
    ASSERT_TRUE(up.at(x, y) == up.at(1, y) && down.at(x, y) == down.at(1, y));
  }
  EXPECT_GT(Brightness(up.at(10, 5)), Brightness(down.at(10, 5))) << "pressed is darker";
}

}  // namespace
}  // namespace vorn::art
