#include "core/raster.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(Surface, FillIncludesBothCornersAndClips) {
  Surface s(4, 3, 0x111111);
  s.FillInclusive(1, 1, 2, 1, 0xABCDEF);
  EXPECT_EQ(s.At(0, 1), 0x111111u);
  EXPECT_EQ(s.At(1, 1), 0xABCDEFu);
  EXPECT_EQ(s.At(2, 1), 0xABCDEFu);
  EXPECT_EQ(s.At(3, 1), 0x111111u);
  s.FillInclusive(-5, -5, 100, 100, 0);
  for (Pixel p : s.Pixels()) EXPECT_EQ(p, 0u);
}

TEST(Blit, SrcPaintOrsAndSrcCopyReplaces) {
  Surface dst(2, 1, 0x00FF00);
  Surface src(2, 1, 0x0000F0);
  Blit(dst, 0, 0, 1, 1, src, 0, 0, kRopSrcPaint);
  Blit(dst, 1, 0, 1, 1, src, 0, 0, kRopSrcCopy);
  EXPECT_EQ(dst.At(0, 0), 0x00FFF0u);
  EXPECT_EQ(dst.At(1, 0), 0x0000F0u);
}

TEST(Blit, ClipsAtEveryEdgeOfBothSurfaces) {
  Surface src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Set(x, y, static_cast<Pixel>(0x10 * y + x + 1));
  Surface dst(3, 3);
  Blit(dst, -1, -1, 4, 4, src, 0, 0, kRopSrcCopy);
  EXPECT_EQ(dst.At(0, 0), src.At(1, 1));
  EXPECT_EQ(dst.At(2, 2), src.At(3, 3));
  Surface beyond(3, 3);
  EXPECT_TRUE(Blit(beyond, 3, 0, 4, 4, src, 0, 0, kRopSrcCopy));
  for (Pixel p : beyond.Pixels()) EXPECT_EQ(p, 0u);
  Surface partial(3, 3);
  Blit(partial, 0, 0, 3, 3, src, 2, 2, kRopSrcCopy);  // source runs out after 2
  EXPECT_EQ(partial.At(1, 1), src.At(3, 3));
  EXPECT_EQ(partial.At(2, 2), 0u);
}

TEST(Blit, OtherOperationsAreRefused) {
  Surface dst(1, 1, 5);
  Surface src(1, 1, 9);
  EXPECT_FALSE(Blit(dst, 0, 0, 1, 1, src, 0, 0, 0x00550009));
  EXPECT_EQ(dst.At(0, 0), 5u);
}

}  // namespace
}  // namespace vorn
