#include "core/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

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

// The blit written the plain way: every destination pixel, in reading order,
// takes the source pixel that the rectangle puts on it, if there is one. The
// row-wise Blit must agree with it everywhere.
Surface PlainBlit(Surface dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                  const Surface& src, std::int64_t sx, std::int64_t sy, bool paint) {
  for (std::int32_t ty = 0; ty < dst.Height(); ++ty) {
    for (std::int32_t tx = 0; tx < dst.Width(); ++tx) {
      const std::int64_t col = tx - x, row = ty - y;
      const std::int64_t fx = sx + col, fy = sy + row;
      if (col < 0 || row < 0 || col >= w || row >= h) continue;
      if (fx < 0 || fy < 0 || fx >= src.Width() || fy >= src.Height()) continue;
      const Pixel from = src.At(static_cast<std::int32_t>(fx), static_cast<std::int32_t>(fy));
      dst.Set(tx, ty, paint ? (dst.At(tx, ty) | from) : from);
    }
  }
  return dst;
}

Surface Numbered(std::int32_t width, std::int32_t height, Pixel base) {
  Surface s(width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) s.Set(x, y, base + static_cast<Pixel>(y * 256 + x));
  return s;
}

TEST(Blit, AgreesWithThePlainBlitForEveryPlacementAndSize) {
  const Surface src = Numbered(7, 5, 0x010000);
  const Surface start = Numbered(6, 4, 0x200000);
  const std::vector<std::int32_t> offsets = {-9, -3, -1, 0, 1, 2, 4, 5, 6, 8};
  const std::vector<std::int32_t> sizes = {0, 1, 3, 6, 9, 17};
  for (const std::uint32_t rop : {kRopSrcCopy, kRopSrcPaint}) {
    for (const std::int32_t x : offsets)
      for (const std::int32_t y : offsets)
        for (const std::int32_t sx : {-2, 0, 3, 7})
          for (const std::int32_t sy : {-4, 0, 2, 5})
            for (const std::int32_t w : sizes)
              for (const std::int32_t h : sizes) {
                Surface dst = start;
                EXPECT_TRUE(Blit(dst, x, y, w, h, src, sx, sy, rop));
                const Surface want = PlainBlit(start, x, y, w, h, src, sx, sy, rop == kRopSrcPaint);
                ASSERT_EQ(dst.Pixels(), want.Pixels())
                    << "at " << x << "," << y << " size " << w << "x" << h << " from " << sx << ","
                    << sy << " rop " << rop;
              }
  }
}

TEST(Blit, RowsLongerThanAPaintGroupAndWholeFramesAgreeToo) {
  const Surface src = Numbered(40, 6, 0x050000);
  const Surface start = Numbered(40, 6, 0x300000);
  for (const std::uint32_t rop : {kRopSrcCopy, kRopSrcPaint}) {
    for (const std::int32_t x : {-13, -1, 0, 3, 9}) {
      for (const std::int32_t w : {7, 8, 9, 17, 33, 40, 41}) {
        Surface dst = start;
        Blit(dst, x, 1, w, 6, src, 2, 0, rop);
        const bool paint = rop == kRopSrcPaint;
        EXPECT_EQ(dst.Pixels(), PlainBlit(start, x, 1, w, 6, src, 2, 0, paint).Pixels());
        dst = start;  // whole rows of surfaces of one width: one run
        Blit(dst, 0, x, 40, w, src, 0, 0, rop);
        EXPECT_EQ(dst.Pixels(), PlainBlit(start, 0, x, 40, w, src, 0, 0, paint).Pixels());
      }
    }
  }
}

TEST(Blit, ExtremeCoordinatesClipWithoutOverflow) {
  const Surface src = Numbered(4, 4, 0x030000);
  const Surface start(4, 4, 0x000001);
  const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
      {INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MAX}, {-2, INT32_MAX}, {INT32_MIN, 3}};
  for (const auto& [position, extent] : cases) {
    Surface dst = start;
    EXPECT_TRUE(Blit(dst, position, 0, extent, 2, src, 0, 0, kRopSrcCopy));
    EXPECT_EQ(dst.Pixels(), PlainBlit(start, position, 0, extent, 2, src, 0, 0, false).Pixels());
    dst = start;
    EXPECT_TRUE(Blit(dst, 1, 1, extent, extent, src, position, position, kRopSrcPaint));
    EXPECT_EQ(dst.Pixels(),
              PlainBlit(start, 1, 1, extent, extent, src, position, position, true).Pixels());
  }
}

TEST(Blit, WithinOneSurfaceCopiesPixelByPixelInReadingOrder) {
  const Surface start = Numbered(6, 3, 0x040000);
  Surface same = start;
  // Moving right by one within a row repeats the first pixel, as a forward
  // pixel-by-pixel copy does.
  Blit(same, 1, 0, 5, 3, same, 0, 0, kRopSrcCopy);
  for (std::int32_t y = 0; y < 3; ++y)
    for (std::int32_t x = 0; x < 6; ++x) EXPECT_EQ(same.At(x, y), start.At(0, y));
  Surface painted = start;
  Blit(painted, 0, 0, 6, 2, painted, 0, 1, kRopSrcPaint);
  EXPECT_EQ(painted.At(2, 0), start.At(2, 0) | start.At(2, 1));
  EXPECT_EQ(painted.At(2, 1), start.At(2, 1) | start.At(2, 2));
}

TEST(Surface, FillsWholeRowsAndPartRowsInEveryColour) {
  for (const Pixel colour : {0x000000u, 0xFFFFFFu, 0x123456u, 0x010101u}) {
    Surface whole(5, 4, 0x777777);
    whole.FillInclusive(-3, 1, 9, 2, colour);  // whole rows: one run
    Surface part(5, 4, 0x777777);
    part.FillInclusive(1, -1, 3, 1, colour);
    for (std::int32_t y = 0; y < 4; ++y) {
      for (std::int32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(whole.At(x, y), y >= 1 && y <= 2 ? colour : 0x777777u);
        EXPECT_EQ(part.At(x, y), x >= 1 && x <= 3 && y <= 1 ? colour : 0x777777u);
      }
    }
  }
  Surface empty(3, 3, 5);
  empty.FillInclusive(2, 2, 1, 1, 0);  // corners the wrong way round: nothing
  for (Pixel p : empty.Pixels()) EXPECT_EQ(p, 5u);
}

TEST(PixelView, RowsApartByTheirStrideAreDrawnAndTheGapsLeftAlone) {
  // Two 3 x 2 views into 5-pixel-wide rows: the last two pixels of each row
  // belong to someone else.
  std::vector<Pixel> to(10, 0x000100);
  std::vector<Pixel> from = {1, 2, 4, 99, 99, 8, 16, 32, 99, 99};
  const PixelView dst{to.data(), 3, 2, 5};
  const ConstPixelView src(from.data(), 3, 2, 5);
  EXPECT_TRUE(Blit(dst, 0, 0, 3, 2, src, 0, 0, kRopSrcPaint));
  EXPECT_EQ(to, (std::vector<Pixel>{0x101, 0x102, 0x104, 0x100, 0x100, 0x108, 0x110, 0x120, 0x100,
                                    0x100}));
  EXPECT_TRUE(Blit(dst, 1, 1, 9, 9, src, 0, 0, kRopSrcCopy));
  EXPECT_EQ(to[6], 1u);
  EXPECT_EQ(to[7], 2u);
  EXPECT_EQ(to[8], 0x100u);
  FillInclusive(dst, 0, 0, 8, 8, 0x00ABCD);
  EXPECT_EQ(to, (std::vector<Pixel>{0xABCD, 0xABCD, 0xABCD, 0x100, 0x100, 0xABCD, 0xABCD, 0xABCD,
                                    0x100, 0x100}));
}

TEST(DrawnRegion, AFirstClearBlackensEverything) {
  Surface frame(6, 4, 0x445566);
  DrawnRegion drawn;
  drawn.ClearToBlack(frame.View());
  for (Pixel p : frame.Pixels()) EXPECT_EQ(p, 0u);
}

TEST(DrawnRegion, LaterClearsBlackenWhatWasDrawnAndTouchNothingElse) {
  Surface frame(40, 30);
  const Surface cell(8, 8, 0xFF8800);
  DrawnRegion drawn;
  drawn.ClearToBlack(frame.View());
  const std::vector<std::pair<std::int32_t, std::int32_t>> places = {
      {3, 4}, {-5, -2}, {36, 27}, {20, 10}, {22, 12}, {39, 0}, {-7, 29}};
  for (const auto& [x, y] : places) {
    Blit(frame, x, y, 8, 8, cell, 0, 0, kRopSrcPaint);
    drawn.Add(x, y, 8, 8);
  }
  frame.Set(30, 2, 0x0000FF);  // drawn behind the region's back: left alone
  drawn.ClearToBlack(frame.View());
  for (std::int32_t y = 0; y < 30; ++y)
    for (std::int32_t x = 0; x < 40; ++x)
      EXPECT_EQ(frame.At(x, y), x == 30 && y == 2 ? 0x0000FFu : 0u) << x << "," << y;
}

TEST(DrawnRegion, ForgettingOrTooMuchDrawingClearsTheWholeFrame) {
  Surface frame(10, 10);
  DrawnRegion drawn;
  drawn.ClearToBlack(frame.View());
  frame.Set(9, 9, 7);
  drawn.Forget();
  drawn.Add(0, 0, 2, 2);
  drawn.ClearToBlack(frame.View());
  EXPECT_EQ(frame.At(9, 9), 0u);
  frame.Set(9, 9, 7);
  drawn.Add(0, 0, 1, 1);
  drawn.Add(INT32_MAX, 0, INT32_MAX, 1);  // beyond any frame: the region gives up
  drawn.ClearToBlack(frame.View());
  EXPECT_EQ(frame.At(9, 9), 0u);
  frame.Set(9, 9, 7);
  for (int i = 0; i < 101; ++i) drawn.Add(0, 0, 1, 1);  // more pixels than the frame has
  drawn.ClearToBlack(frame.View());
  EXPECT_EQ(frame.At(9, 9), 0u);
}

TEST(Surface, LongRunsAreFilledLikeShortOnes) {
  for (const Pixel colour : {0x000000u, 0x123456u, 0xFFFFFFu}) {
    Surface wide(300, 3, 0x777777);
    wide.FillInclusive(1, 1, 298, 1, colour);  // one long run inside a row
    for (std::int32_t y = 0; y < 3; ++y)
      for (std::int32_t x = 0; x < 300; ++x)
        EXPECT_EQ(wide.At(x, y), y == 1 && x >= 1 && x <= 298 ? colour : 0x777777u);
  }
}

// A sheet of 6x5 cells, each with a little flame somewhere in its black margin;
// cell (1, 0) is all black.
Surface InkSheet() {
  Surface sheet(18, 10);
  sheet.FillInclusive(1, 2, 3, 3, 0x402000);   // cell (0, 0)
  sheet.FillInclusive(12, 0, 12, 4, 0x000080);  // cell (2, 0): one column, top to bottom
  sheet.Set(0, 5, 0x010000);                    // cell (0, 1): two corners
  sheet.Set(5, 9, 0x000001);
  sheet.FillInclusive(6, 5, 11, 9, 0x102030);  // cell (1, 1): solid
  return sheet;
}

TEST(InkBounds, AreTheSmallestRectangleOfEveryPixelThatIsNotBlack) {
  const Surface sheet = InkSheet();
  const auto bounds = [&](std::int32_t sx, std::int32_t sy, std::int32_t w, std::int32_t h) {
    const Rect r = InkBounds(sheet.View(), sx, sy, w, h);
    return std::vector<std::int32_t>{r.x, r.y, r.width, r.height};
  };
  EXPECT_EQ(bounds(0, 0, 6, 5), (std::vector<std::int32_t>{1, 2, 3, 2}));
  EXPECT_TRUE(InkBounds(sheet.View(), 6, 0, 6, 5).Empty());
  EXPECT_EQ(bounds(12, 0, 6, 5), (std::vector<std::int32_t>{12, 0, 1, 5}));
  EXPECT_EQ(bounds(0, 5, 6, 5), (std::vector<std::int32_t>{0, 5, 6, 5}));
  EXPECT_EQ(bounds(6, 5, 6, 5), (std::vector<std::int32_t>{6, 5, 6, 5}));
  // Clipped to the sheet: a rectangle hanging over its edges, or outside it.
  EXPECT_EQ(bounds(-4, -4, 9, 8), (std::vector<std::int32_t>{1, 2, 3, 2}));
  EXPECT_EQ(bounds(11, 8, INT32_MAX, INT32_MAX), (std::vector<std::int32_t>{11, 8, 1, 2}));
  EXPECT_TRUE(InkBounds(sheet.View(), 18, 0, 6, 5).Empty());
  EXPECT_TRUE(InkBounds(sheet.View(), 0, 0, 0, 5).Empty());
  EXPECT_TRUE(InkBounds(sheet.View(), 0, 0, -6, 5).Empty());
  EXPECT_TRUE(InkBounds(sheet.View(), INT32_MIN, INT32_MIN, 6, 5).Empty());
}

TEST(InkBounds, APaintBlitNarrowedToThemDrawsTheSamePixels) {
  const Surface sheet = InkSheet();
  const Surface start = Numbered(9, 7, 0x200000);
  const std::vector<std::int32_t> places = {-7, -2, 0, 3, 5, 8, 9};
  for (const std::int32_t sx : {-3, 0, 1, 6, 12, 15})
    for (const std::int32_t sy : {-2, 0, 3, 5})
      for (const std::int32_t x : places)
        for (const std::int32_t y : places)
          for (const std::int32_t w : {0, 4, 6, 20}) {
            Surface whole = start;
            Blit(whole, x, y, w, 5, sheet, sx, sy, kRopSrcPaint);
            BlitArea area{x, y, w, 5, sx, sy};
            Surface narrowed = start;
            if (NarrowToInk(area, InkBounds(sheet.View(), sx, sy, w, 5))) {
              Blit(narrowed, area.x, area.y, area.w, area.h, sheet, area.sx, area.sy, kRopSrcPaint);
              EXPECT_LE(std::int64_t{area.w} * area.h, std::int64_t{w} * 5);
            }
            ASSERT_EQ(narrowed.Pixels(), whole.Pixels())
                << "from " << sx << "," << sy << " to " << x << "," << y << " width " << w;
          }
}

TEST(InkBounds, APlacementThatCannotMoveStaysWhole) {
  BlitArea area{INT32_MAX - 1, 0, 6, 5, 0, 0};
  EXPECT_TRUE(NarrowToInk(area, Rect{4, 2, 2, 2}));
  EXPECT_EQ(area.x, INT32_MAX - 1);
  EXPECT_EQ(area.w, 6);
  EXPECT_EQ(area.sx, 0);
}

TEST(InkBoundsCache, WorksEachRectangleOutOnceUntilForgotten) {
  Surface sheet = InkSheet();
  InkBoundsCache cache;
  const Rect first = cache.Find(sheet.View(), 0, 0, 6, 5);
  EXPECT_EQ(first.x, 1);
  EXPECT_EQ(first.width, 3);
  EXPECT_TRUE(cache.Find(sheet.View(), 6, 0, 6, 5).Empty());
  sheet.Set(0, 0, 0xFFFFFF);  // the sheet changes behind the cache's back
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 5).x, 1);
  cache.Forget();
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 5).x, 0);
  // Different rectangles of the same corner are told apart.
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 1, 1).width, 1);
  EXPECT_EQ(cache.Find(sheet.View(), 0, 0, 6, 4).height, 4);
}

TEST(Blit, OtherOperationsAreRefused) {
  Surface dst(1, 1, 5);
  Surface src(1, 1, 9);
  EXPECT_FALSE(Blit(dst, 0, 0, 1, 1, src, 0, 0, 0x00550009));
  EXPECT_EQ(dst.At(0, 0), 5u);
}

}  // namespace
}  // namespace vorn
