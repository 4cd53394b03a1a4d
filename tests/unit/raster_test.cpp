#include "core/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <tuple>
#include <vector>

namespace vorn {
namespace {

// Every pixel different: its place plus `base`.
Surface Numbered(std::int32_t width, std::int32_t height, Pixel base) {
  Surface s(width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) s.Set(x, y, base + Pixel(y * 256 + x));
  return s;
}

// The blit written the plain way, in place: every pixel of `dst`, in reading
// order, takes the pixel of `src` (which may be `dst` itself) that the
// rectangle puts on it, if there is one.
void PlainBlit(Surface& dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
               const Surface& src, std::int64_t sx, std::int64_t sy, std::uint32_t rop) {
  for (std::int32_t ty = 0; ty < dst.Height(); ++ty) {
    for (std::int32_t tx = 0; tx < dst.Width(); ++tx) {
      const std::int64_t col = tx - x, row = ty - y, fx = sx + col, fy = sy + row;
      if (col < 0 || row < 0 || col >= w || row >= h || fx < 0 || fy < 0 || fx >= src.Width() ||
          fy >= src.Height()) {
        continue;
      }
      const Pixel from = src.At(std::int32_t(fx), std::int32_t(fy));
      dst.Set(tx, ty, rop == kRopSrcPaint ? dst.At(tx, ty) | from : from);
    }
  }
}

// Clipping off by one or overflowing at any edge of either surface, OR and
// copy confused, rows longer than a paint group or whole frames combined
// wrongly, or a blit within one surface that does not go pixel by pixel in
// reading order.
TEST(Blit, AgreesWithThePlainBlitEverywhere) {
  const Surface src = Numbered(20, 5, 0x010000), start = Numbered(20, 4, 0x200000);
  for (const std::uint32_t rop : {kRopSrcCopy, kRopSrcPaint})
    for (const std::int32_t x : {INT_MIN, -21, -1, 0, 1, 19, 20})
      for (const std::int32_t y : {INT_MIN, -1, 0, 3, 4})
        for (const std::int32_t w : {0, 1, 9, 20, 21, INT_MAX})
          for (const std::int32_t h : {0, 1, 4, 5, INT_MAX})
            for (const std::int32_t sx : {INT_MIN, -3, 0, 2, 20})
              for (const std::int32_t sy : {-1, 0, 4}) {
                Surface got = start, want = start;
                EXPECT_TRUE(Blit(got, x, y, w, h, src, sx, sy, rop));
                PlainBlit(want, x, y, w, h, src, sx, sy, rop);
                ASSERT_EQ(got.Pixels(), want.Pixels())
                    << x << "," << y << " " << w << "x" << h << " from " << sx << "," << sy;
                got = want = start;
                Blit(got, x, y, w, h, got, sx, sy, rop);
                PlainBlit(want, x, y, w, h, want, sx, sy, rop);
                ASSERT_EQ(got.Pixels(), want.Pixels()) << "within one surface";
              }
}

// Corners left out, no clipping, or a run filled wrong on one of its paths:
// short runs, long runs of a colour of equal bytes (black) or not, whole rows.
TEST(Fill, FillsFromCornerToCornerClipped) {
  for (const std::int32_t width : {5, 300})
    for (const Pixel colour : {0x000000u, 0x123456u})
      for (const auto& [left, right] :
           {std::pair{-3, 0}, {1, 3}, {0, width - 1}, {2, width + 5}, {3, 2}})
        for (const auto& [top, bottom] : {std::pair{-1, 1}, {1, 2}, {0, 9}, {2, 1}}) {
          Surface s(width, 4, 0x777777);
          s.FillInclusive(left, top, right, bottom, colour);
          for (std::int32_t y = 0; y < 4; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
              const bool inside = x >= left && x <= right && y >= top && y <= bottom;
              ASSERT_EQ(s.At(x, y), inside ? colour : 0x777777u) << left << "," << top;
            }
        }
}

// Rows addressed by width instead of stride, pixels between the rows written,
// or an operation other than copy and OR carried out.
TEST(PixelView, DrawsRowsByTheirStrideAndRefusesOtherOperations) {
  std::vector<Pixel> to(10, 0x000100);
  std::vector<Pixel> from = {1, 2, 4, 99, 99, 8, 16, 32, 99, 99};
  const PixelView dst{to.data(), 3, 2, 5};
  const ConstPixelView src(from.data(), 3, 2, 5);
  EXPECT_TRUE(Blit(dst, 0, 0, 3, 2, src, 0, 0, kRopSrcPaint));
  EXPECT_EQ(to, (std::vector<Pixel>{0x101, 0x102, 0x104, 0x100, 0x100, 0x108, 0x110, 0x120, 0x100,
                                    0x100}));
  EXPECT_TRUE(Blit(dst, 1, 1, 9, 9, src, 0, 0, kRopSrcCopy));
  EXPECT_EQ(to, (std::vector<Pixel>{0x101, 0x102, 0x104, 0x100, 0x100, 0x108, 1, 2, 0x100, 0x100}));
  FillInclusive(dst, 0, 0, 8, 8, 0xABCD);
  EXPECT_EQ(to, (std::vector<Pixel>{0xABCD, 0xABCD, 0xABCD, 0x100, 0x100, 0xABCD, 0xABCD, 0xABCD,
                                    0x100, 0x100}));
  EXPECT_FALSE(Blit(dst, 0, 0, 3, 2, src, 0, 0, 0x00550009));  // SRCINVERT
  EXPECT_EQ(to[1], 0xABCDu);
}

// A sheet of 6 x 5 cells: (0, 0) a little flame, (1, 0) all black, (2, 0) one
// column top to bottom, (0, 1) two opposite corners, (1, 1) solid.
Surface InkSheet() {
  Surface sheet(18, 10);
  sheet.FillInclusive(1, 2, 3, 3, 0x402000);
  sheet.FillInclusive(12, 0, 12, 4, 0x000080);
  sheet.Set(0, 5, 0x010000);
  sheet.Set(5, 9, 0x000001);
  sheet.FillInclusive(6, 5, 11, 9, 0x102030);
  return sheet;
}

// Ink bounds that miss a pixel, hold black margins, or reach beyond the sheet.
TEST(InkBounds, AreTheSmallestRectangleOfEveryPixelThatIsNotBlack) {
  const Surface sheet = InkSheet();
  const auto bounds = [&](std::int32_t sx, std::int32_t sy, std::int32_t w, std::int32_t h) {
    const Rect r = InkBounds(sheet.View(), sx, sy, w, h);
    return r.Empty() ? std::tuple(0, 0, 0, 0) : std::tuple(r.x, r.y, r.width, r.height);
  };
  EXPECT_EQ(bounds(0, 0, 6, 5), std::tuple(1, 2, 3, 2));
  EXPECT_EQ(bounds(6, 0, 6, 5), std::tuple(0, 0, 0, 0));
  EXPECT_EQ(bounds(12, 0, 6, 5), std::tuple(12, 0, 1, 5));
  EXPECT_EQ(bounds(0, 5, 6, 5), std::tuple(0, 5, 6, 5));
  EXPECT_EQ(bounds(6, 5, 6, 5), std::tuple(6, 5, 6, 5));
  EXPECT_EQ(bounds(-4, -4, 9, 8), std::tuple(1, 2, 3, 2));
  EXPECT_EQ(bounds(11, 8, INT_MAX, INT_MAX), std::tuple(11, 8, 1, 2));
  for (const auto& [sx, w] : {std::pair{18, 6}, {0, 0}, {0, -6}, {INT_MIN, 6}}) {
    EXPECT_TRUE(InkBounds(sheet.View(), sx, sx == INT_MIN ? INT_MIN : 0, w, 5).Empty()) << sx;
  }
}

// A paint blit narrowed to its ink that draws other pixels than the whole
// blit, grows, or moves a placement that cannot be moved within 32 bits.
TEST(InkBounds, NarrowAPaintBlitToTheSamePixels) {
  const Surface sheet = InkSheet(), start = Numbered(9, 7, 0x200000);
  for (const std::int32_t sx : {-3, 0, 1, 6, 12, 15})
    for (const std::int32_t sy : {-2, 0, 3, 5})
      for (const std::int32_t x : {-7, -2, 0, 3, 8, 9})
        for (const std::int32_t y : {-7, 0, 5, 9})
          for (const std::int32_t w : {0, 4, 6, 20}) {
            Surface whole = start, narrowed = start;
            Blit(whole, x, y, w, 5, sheet, sx, sy, kRopSrcPaint);
            BlitArea area{x, y, w, 5, sx, sy};
            if (NarrowToInk(area, InkBounds(sheet.View(), sx, sy, w, 5))) {
              Blit(narrowed, area.x, area.y, area.w, area.h, sheet, area.sx, area.sy, kRopSrcPaint);
              EXPECT_LE(std::int64_t{area.w} * area.h, std::int64_t{w} * 5);
            }
            ASSERT_EQ(narrowed.Pixels(), whole.Pixels())
                << sx << "," << sy << " to " << x << "," << y;
          }
  BlitArea area{INT_MAX - 1, 0, 6, 5, 0, 0};
  EXPECT_TRUE(NarrowToInk(area, Rect{4, 2, 2, 2}));
  EXPECT_EQ(std::tuple(area.x, area.w, area.sx), std::tuple(INT_MAX - 1, 6, 0));
}

// A cache that works a rectangle out again, mixes up rectangles of one corner,
// or keeps its answers once told to forget them.
TEST(InkBoundsCache, WorksEachRectangleOutOnceUntilForgotten) {
  Surface sheet = InkSheet();
  InkBoundsCache cache;
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 5).x, 1);
  sheet.Set(0, 0, 0xFFFFFF);  // behind the cache's back
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 5).x, 1);
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 1, 1).width, 1);
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 4).height, 4);
  cache.Forget();
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 5).x, 0);
}

// A clear that leaves some of what was drawn (also where it crossed an
// edge), touches what it was not told of, or stays partial after the frame
// was forgotten, the region overflowed, or more was drawn than the frame has.
TEST(DrawnRegion, ClearsWhatWasDrawnOrTheWholeFrame) {
  Surface frame(40, 30, 0x445566);
  DrawnRegion drawn;
  drawn.ClearToBlack(frame.View());  // knows nothing yet: all of it
  EXPECT_EQ(frame.Pixels(), Surface(40, 30).Pixels());
  for (const auto& [x, y] : {std::pair{3, 4}, {-5, -2}, {36, 27}, {20, 10}, {39, 0}, {-7, 29}}) {
    frame.FillInclusive(x, y, x + 7, y + 7, 0xFF8800);
    drawn.Add(x, y, 8, 8);
  }
  frame.Set(30, 2, 0x0000FF);  // drawn behind the region's back
  drawn.ClearToBlack(frame.View());
  Surface expected(40, 30);
  expected.Set(30, 2, 0x0000FF);
  EXPECT_EQ(frame.Pixels(), expected.Pixels());
  const std::function<void()> kGiveUps[] = {[&] { drawn.Forget(); },
                                            [&] { drawn.Add(INT_MAX, 0, INT_MAX, 1); },
                                            [&] {
                                              for (int i = 0; i < 1201; ++i) drawn.Add(0, 0, 1, 1);
                                            }};
  for (const auto& giveUp : kGiveUps) {
    drawn.Add(0, 0, 1, 1);
    giveUp();
    drawn.ClearToBlack(frame.View());
    EXPECT_EQ(frame.At(30, 2), 0u);
    frame.Set(30, 2, 7);
  }
}

}  // namespace
}  // namespace vorn
