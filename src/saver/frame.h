// The saver's frame, composed in portable code: the pixels the platform hands
// over (its frame buffer), the flame sheets of every scale with the ink of
// their cells, and what was drawn where. A clear blackens only the flames of
// the frame before; a present asks the platform to put on the screen only
// where the frame changed, and the whole frame after a present that failed or
// whenever the screen may have lost its picture.
//
// The clear and the ORs are carried out when the frame is presented (or
// cleared again), a band of rows at a time: in each band the clear first, then
// every OR in the order they came. Each pixel ends as it would with the clear
// of the whole frame first, but a flame's rows are still in the cache when the
// flame is drawn again a few pixels on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/changed_region.h"
#include "core/particles.h"
#include "core/raster.h"
#include "platform/platform.h"

namespace vorn {

// Where a rectangle of a sheet has its flame: for each of its rows the run
// from the first to the last pixel that is not black (an empty run where the
// row is all black), and the bounds of them all. ORing black changes nothing
// and a black frame stays black where nothing was drawn: only the runs are
// ORed, and only they are cleared again. A run is widened, within the
// rectangle, to a whole number of groups of four pixels: the vector loop then
// has no pixels left over, and the few black pixels it takes in are black in
// the frame too, or part of a flame that the same clear blackens.
struct CellInk {
  struct Run {
    std::int32_t begin = 0, end = 0;  // x within the rectangle, end excluded
  };
  std::vector<Run> rows;
  Rect bounds;  // within the rectangle
  // The runs' pixels, one after the other (fewer cache lines than the sheet's
  // rows), and for each row the index of its x = 0 in them.
  std::vector<Pixel> pixels;
  std::vector<std::ptrdiff_t> rowStart;
  const Pixel* At(std::int32_t x, std::int32_t y) const {
    return pixels.data() + (rowStart[std::size_t(y)] + x);
  }
};
CellInk FindCellInk(const ConstPixelView& sheet, const Rect& cell);

// The drawing steps are virtual so that the tests can watch them.
class SaverFrame {
 public:
  explicit SaverFrame(FrameHost& host) : host_(host) {}
  virtual ~SaverFrame() = default;
  SaverFrame(const SaverFrame&) = delete;
  SaverFrame& operator=(const SaverFrame&) = delete;

  // A new frame buffer of this size, black; the next present is whole.
  // Without one (the platform could not make it) nothing is drawn and the
  // platform keeps the window black.
  virtual void Resize(std::int32_t width, std::int32_t height);
  // The sheet for monitors of `dpi` dots per inch: the embedded one at 96,
  // otherwise rendered, once for each scale.
  virtual void LoadSheet(std::int32_t dpi);
  // Blackens the frame (what was ORed before and is still to be done is
  // done first).
  virtual void Clear();
  // ORs the w x h rectangle of the sheet for `dpi` at (sx, sy) onto the frame
  // at (x, y), clipped to the frame. A sheet not loaded draws nothing.
  virtual void OrCell(std::int32_t dpi, const BlitArea& cell);
  // Puts what changed since the last present on the screen.
  virtual void Present();
  // The screen may have lost its picture (painted over, the display back on,
  // a dialog over it): the next present is whole.
  void ScreenLost() { changed_.Forget(); }

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

 private:
  struct Sheet {
    Surface pixels;
    CellSize cell;                                                 // a flame's cell at this scale
    std::map<std::pair<std::int32_t, std::int32_t>, CellInk> ink;  // by (sx, sy)
    std::vector<const CellInk*> byCell;  // the flames' own cells' ink, in reading order
  };
  // A cell ORed onto the frame: its ink, its corner in the frame, and the
  // part of it within the frame, in the cell's own coordinates.
  struct Drawn {
    const CellInk* ink;
    std::int32_t x, y;
    std::int32_t left, right, top, bottom;  // right and bottom excluded
  };
  // Carries out the clear and the ORs not yet done, band by band.
  void Compose();
  // Calls visit(pixels, x, y, count) for each run of the cell's ink within the
  // frame: `count` pixels of the frame from `pixels` on, (x, y) in the cell.
  template <typename Visit>
  void ForRuns(const Drawn& cell, Visit&& visit) const {
    constexpr std::int32_t kPrefetchRows = 2;
    for (std::int32_t y = cell.top; y < cell.bottom; ++y) {
      const CellInk::Run run = cell.ink->rows[std::size_t(y)];
      const std::int32_t begin = std::max(run.begin, cell.left);
      const std::int32_t end = std::min(run.end, cell.right);
      if (begin >= end) continue;
      Pixel* row = pixels_.Row(cell.y + y) + (cell.x + begin);
      // The cells lie scattered over a frame larger than the cache: the row
      // after next is asked for while this one is worked on.
      if (y + kPrefetchRows < cell.bottom) {
        Pixel* ahead = row + kPrefetchRows * pixels_.stride;
        __builtin_prefetch(ahead, 1);
        __builtin_prefetch(ahead + (end - begin - 1), 1);
      }
      visit(row, begin, y, end - begin);
    }
  }
  // ORs the cell's ink onto the frame.
  void OrRuns(const Drawn& cell) {
    ForRuns(cell, [&](Pixel* to, std::int32_t x, std::int32_t y, std::int32_t count) {
      OrRow(to, cell.ink->At(x, y), std::size_t(count));
    });
  }
  // The ink of the sheet's rectangle, found once (the map keeps it in place).
  const CellInk& InkOf(Sheet& sheet, const BlitArea& cell);

  FrameHost& host_;
  PixelView pixels_;
  std::int32_t width_ = 0, height_ = 0;
  std::map<std::int32_t, Sheet> sheets_;  // by dpi
  std::vector<Drawn> drawn_;              // since the frame was last black
  bool drawnKnown_ = false;               // drawn_ holds all that is not black
  std::int64_t drawnPixels_ = 0;          // the pixels of their clipped bounds
  std::size_t composed_ = 0;              // drawn_ before this is ORed onto the frame
  bool clearWhole_ = false;               // the clear to do blackens the whole frame
  std::vector<Drawn> toClear_;            // the clear to do blackens these
  // Compose's work, by band, kept between frames: each step a cell of
  // toClear_ (below its size) or of the ORs not yet done (from its size on).
  std::vector<std::uint32_t> bandSteps_;
  std::vector<std::uint32_t> bandStart_;
  ChangedRegion changed_;
};

}  // namespace vorn
