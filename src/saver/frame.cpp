#include "saver/frame.h"

#include <algorithm>
#include <span>

#include "core/flame.h"
#include "core/particles.h"

namespace vorn {
namespace {

// More cells than this since the last clear (a swarm of a hundred thousand
// flames on several monitors) and the next clear blackens the whole frame.
constexpr std::size_t kMostDrawnCells = std::size_t{1} << 20;
constexpr std::int64_t kGroup = kSseGroup;  // the pixels the row loops take at a time
// The rows composed together: the clear's and the ORs' rows of a band stay in
// the cache between the two.
constexpr std::int32_t kBandRows = 32;

}  // namespace

CellInk FindCellInk(const ConstPixelView& sheet, const Rect& cell) {
  CellInk ink;
  std::int32_t left = INT32_MAX, right = INT32_MIN, top = -1, bottom = -1;
  for (std::int32_t y = 0; y < cell.height; ++y) {
    CellInk::Run run;
    const std::int64_t sy = std::int64_t{cell.y} + y;
    if (sy >= 0 && sy < sheet.height) {
      const Pixel* row = sheet.Row(static_cast<std::int32_t>(sy));
      const std::int64_t x0 = std::max<std::int64_t>(cell.x, 0);
      const std::int64_t x1 =
          std::min<std::int64_t>(std::int64_t{cell.x} + cell.width, sheet.width);
      std::int64_t first = x0, last = x1 - 1;
      while (first < x1 && row[first] == 0) ++first;
      while (last >= first && row[last] == 0) --last;
      if (first <= last) {
        const std::int64_t width = (last + 1 - first + kGroup - 1) / kGroup * kGroup;
        const std::int64_t end = std::min(first + width, x1);
        run = {static_cast<std::int32_t>(std::max(end - width, x0) - cell.x),
               static_cast<std::int32_t>(end - cell.x)};
        ink.pixels.insert(ink.pixels.end(), row + cell.x + run.begin, row + cell.x + run.end);
        left = std::min(left, run.begin);
        right = std::max(right, run.end);
        if (top < 0) top = y;
        bottom = y + 1;
      }
    }
    ink.rows.push_back(run);
    // The run's pixels end where the list does: its x = 0 lies `end` before.
    ink.rowStart.push_back(std::ptrdiff_t(ink.pixels.size()) - run.end);
  }
  if (top >= 0) ink.bounds = {left, top, right - left, bottom - top};
  return ink;
}

void SaverFrame::Resize(std::int32_t width, std::int32_t height) {
  pixels_ = host_.CreateFrameBuffer(width, height);
  width_ = pixels_.pixels != nullptr ? pixels_.width : 0;
  height_ = pixels_.pixels != nullptr ? pixels_.height : 0;
  drawn_.clear();
  toClear_.clear();
  composed_ = 0;
  clearWhole_ = false;
  drawnKnown_ = false;  // a new buffer is cleared whole once
  changed_.Reset(width_, height_);
}

// Without a frame buffer nothing is drawn: no sheet is needed until a new
// size brings one (every re-fit loads the sheets again).
void SaverFrame::LoadSheet(std::int32_t dpi) {
  if (pixels_.pixels == nullptr || sheets_.contains(dpi)) return;
  Sheet& sheet = sheets_[dpi];
  sheet.pixels = dpi == kBaseDpi ? host_.EmbeddedSpriteSheet() : RenderSpriteSheet(dpi);
  sheet.cell = ScaledCell(std::clamp(dpi, kMinDpi, kMaxDpi));
  sheet.byCell.resize(std::size_t{kSheetColumns} * kSheetRows);
}

// Only the runs of the cells drawn since the last clear, unless they are
// unknown or would take longer than the whole frame.
void SaverFrame::Clear() {
  if (pixels_.pixels == nullptr) return;
  Compose();
  const bool whole = !drawnKnown_ || drawnPixels_ >= static_cast<std::int64_t>(width_) * height_;
  toClear_.clear();
  if (!whole) toClear_.swap(drawn_);
  drawn_.clear();
  clearWhole_ = whole;
  composed_ = 0;
  drawnPixels_ = 0;
  drawnKnown_ = true;
}

void SaverFrame::Compose() {
  const bool clear = clearWhole_ || !toClear_.empty();
  if (pixels_.pixels == nullptr || (!clear && composed_ == drawn_.size())) return;
  // Each cell's steps under every band its rows reach, the clears first.
  const std::size_t bands = std::size_t(height_ + kBandRows - 1) / kBandRows;
  bandStart_.assign(bands + 1, 0);
  const auto forBands = [&](const Drawn& cell, auto&& visit) {
    const std::int32_t last = (cell.y + cell.bottom - 1) / kBandRows;
    for (std::int32_t band = (cell.y + cell.top) / kBandRows; band <= last; ++band) visit(band);
  };
  const auto pending = std::span(drawn_).subspan(composed_);
  const auto count = [&](const Drawn& cell) {
    forBands(cell, [&](std::int32_t band) { ++bandStart_[std::size_t(band) + 1]; });
  };
  for (const Drawn& cell : toClear_) count(cell);
  for (const Drawn& cell : pending) count(cell);
  for (std::size_t band = 1; band <= bands; ++band) bandStart_[band] += bandStart_[band - 1];
  bandSteps_.resize(bandStart_[bands]);
  std::vector<std::uint32_t>& next = bandStart_;  // each band's next free step, then its end
  const auto clears = static_cast<std::uint32_t>(toClear_.size());
  const auto place = [&](const Drawn& cell, std::uint32_t step) {
    forBands(cell, [&](std::int32_t band) { bandSteps_[next[std::size_t(band)]++] = step; });
  };
  for (std::uint32_t i = 0; i < clears; ++i) place(toClear_[i], i);
  for (std::uint32_t i = 0; i < pending.size(); ++i) place(pending[i], clears + i);
  std::uint32_t begin = 0;
  for (std::size_t band = 0; band < bands; ++band) {
    const std::int32_t top = std::int32_t(band) * kBandRows;
    const std::int32_t bottom = std::min(top + kBandRows, height_);
    if (clearWhole_) FillInclusive(pixels_, 0, top, width_ - 1, bottom - 1, 0);
    for (std::uint32_t i = begin; i < next[band]; ++i) {
      const std::uint32_t step = bandSteps_[i];
      Drawn cell = step < clears ? toClear_[step] : pending[step - clears];
      cell.top = std::max(cell.top, top - cell.y);
      cell.bottom = std::min(cell.bottom, bottom - cell.y);
      if (step < clears) {
        ForRuns(cell, [](Pixel* to, std::int32_t, std::int32_t, std::int32_t count) {
          FillRow(to, std::size_t(count), 0);
        });
      } else {
        OrRuns(cell);
      }
    }
    begin = next[band];
  }
  clearWhole_ = false;
  toClear_.clear();
  composed_ = drawn_.size();
}

// A flame's own cell is found by its place in the sheet, any other rectangle
// by its corner.
const CellInk& SaverFrame::InkOf(Sheet& sheet, const BlitArea& cell) {
  const CellSize size = sheet.cell;
  const bool own = cell.sx >= 0 && cell.sy >= 0 && cell.sx % size.width == 0 &&
                   cell.sy % size.height == 0 && cell.sx / size.width < kSheetColumns &&
                   cell.sy / size.height < kSheetRows;
  const CellInk** slot = nullptr;
  if (own) {
    const auto column = std::size_t(cell.sx / size.width);
    const auto row = std::size_t(cell.sy / size.height);
    slot = &sheet.byCell[row * kSheetColumns + column];
    if (*slot != nullptr) return **slot;
  }
  const auto key = std::pair(cell.sx, cell.sy);
  auto found = sheet.ink.find(key);
  if (found == sheet.ink.end()) {
    found = sheet.ink
                .emplace(key, FindCellInk(sheet.pixels.View(),
                                          {cell.sx, cell.sy, size.width, size.height}))
                .first;
  }
  if (slot != nullptr) *slot = &found->second;
  return found->second;
}

void SaverFrame::OrCell(std::int32_t dpi, const BlitArea& cell) {
  const auto sheet = sheets_.find(dpi);
  if (pixels_.pixels == nullptr || sheet == sheets_.end() || cell.w <= 0 || cell.h <= 0) return;
  const CellInk& ink = InkOf(sheet->second, cell);
  if (ink.bounds.Empty()) return;
  // The flame's bounds, cut to the rectangle asked for and to the frame, in
  // the cell's own coordinates: within the frame, so within 32 bits.
  const std::int64_t x = cell.x, y = cell.y;
  const std::int64_t left = std::max<std::int64_t>(ink.bounds.x, -x);
  const std::int64_t right =
      std::min<std::int64_t>({ink.bounds.x + ink.bounds.width, cell.w, width_ - x});
  const std::int64_t top = std::max<std::int64_t>(ink.bounds.y, -y);
  const std::int64_t bottom =
      std::min<std::int64_t>({ink.bounds.y + ink.bounds.height, cell.h, height_ - y});
  if (left >= right || top >= bottom) return;
  const Drawn drawn{&ink,
                    cell.x,
                    cell.y,
                    std::int32_t(left),
                    std::int32_t(right),
                    std::int32_t(top),
                    std::int32_t(bottom)};
  // Past the most cells kept, a cell is drawn at once and forgotten, and the
  // next clear is a whole one.
  if (drawn_.size() >= kMostDrawnCells) {
    Compose();
    drawnKnown_ = false;
    OrRuns(drawn);
  } else {
    drawn_.push_back(drawn);
  }
  drawnPixels_ += (right - left) * (bottom - top);
  changed_.Add(std::int32_t(x + left), std::int32_t(y + top), std::int32_t(right - left),
               std::int32_t(bottom - top));
}

void SaverFrame::Present() {
  Compose();
  if (!host_.PresentFrame(changed_.Present())) changed_.Forget();
}

}  // namespace vorn
