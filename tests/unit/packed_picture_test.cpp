#include "core/packed_picture.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr Pixel kA = 0x102030, kB = 0x405060, kSentinel = 0xABCDEF;

// Packets that lose or change pixels at their limits (runs of 2 and 129, literals of 1 and 128,
// runs across rows), take more bytes than needed, or a layout other than the resources are built
// in.
TEST(PackedPicture, UnpacksWhatWasPackedInTheFewestBytes) {
  std::vector<Pixel> distinct(129);
  for (Pixel i = 0; i < distinct.size(); ++i) distinct[i] = i << 8;
  const std::vector<Pixel> longestLiteral(distinct.begin(), distinct.end() - 1);
  for (const auto& [pixels, width, size] : {std::tuple{std::vector{kA, kA}, 2, 4 + 4},
                                            {std::vector<Pixel>(129, kA), 129, 4 + 4},
                                            {std::vector<Pixel>(130, kA), 65, 4 + 4 + 4},
                                            {longestLiteral, 128, 4 + 1 + 128 * 3},
                                            {distinct, 129, 4 + 1 + 128 * 3 + 4},
                                            {std::vector{kA, kB, kB}, 3, 4 + 4 + 4}}) {
    const auto height = static_cast<std::int32_t>(pixels.size()) / width;
    const Bytes packed = PackPicture(ConstPixelView(pixels.data(), width, height, width));
    EXPECT_EQ(packed.size(), std::size_t(size));
    Surface out(width, height, kSentinel);
    EXPECT_TRUE(UnpackPicture(packed, out.View()));
    EXPECT_EQ(out.Pixels(), pixels);
  }
  const std::vector<Pixel> pixels{kA, kA, kB,
                                  0};  // 2 x 2, width and height first, then red, green, blue
  EXPECT_EQ(PackPicture(ConstPixelView(pixels.data(), 2, 2, 2)),
            (Bytes{2, 0, 2, 0, 128, 0x10, 0x20, 0x30, 1, 0x40, 0x50, 0x60, 0, 0, 0}));
}

// An unpacker that reads past its data, or takes a resource that does not fill the picture exactly.
TEST(PackedPicture, RefusesDataThatDoesNotFitThePicture) {
  Surface out(2, 1), tall(1, 2);
  EXPECT_TRUE(UnpackPicture(Bytes{2, 0, 1, 0, 128, 1, 2, 3}, out.View()));
  EXPECT_FALSE(UnpackPicture(Bytes{2, 0, 1, 0, 128, 1, 2, 3}, tall.View())) << "another size";
  for (const Bytes& bad : {Bytes{2, 0, 1, 0, 128, 1, 2}, Bytes{2, 0, 1, 0, 129, 1, 2, 3},
                           Bytes{2, 0, 1, 0, 0, 1, 2, 3}, Bytes{2, 0, 1, 0, 1, 1, 2, 3, 4, 5},
                           Bytes{2, 0, 1, 0, 128, 1, 2, 3, 0, 1, 2, 3}}) {
    EXPECT_FALSE(UnpackPicture(bad, out.View()));  // cut run, too many, too few, cut literal, more
  }
  EXPECT_FALSE(PackedPictureSize(Bytes{2, 0, 1}));
}

}  // namespace
}  // namespace vorn
