#include "core/changed_region.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace vorn {
namespace {

Rect Bounds(const Rect& a, const Rect& b) {
  const std::int32_t left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  const std::int32_t right = std::max(a.x + a.width, b.x + b.width);
  const std::int32_t bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

}  // namespace

void ChangedRegion::Reset(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  whole_ = true;
  shown_.clear();
  drawn_.clear();
  drawnKnown_ = true;
}

void ChangedRegion::Add(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
  const std::int64_t left = std::max(x, 0), top = std::max(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, width_);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, height_);
  if (w < 0 || h < 0 || drawn_.size() >= kMostRectangles) drawnKnown_ = false;
  if (left >= right || top >= bottom || !drawnKnown_) return;
  drawn_.push_back({static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                    static_cast<std::int32_t>(right - left),
                    static_cast<std::int32_t>(bottom - top)});
}

// Each rectangle in turn joins the last piece that reached one of its tiles
// where presenting them as one costs less than apart; otherwise it starts a
// piece of its own.
std::vector<Rect> ChangedRegion::Merged() {
  std::vector<Rect> all(shown_);
  all.insert(all.end(), drawn_.begin(), drawn_.end());
  const std::int32_t columns = ((width_ - 1) >> kTileShift) + 1;
  const std::int32_t rows = ((height_ - 1) >> kTileShift) + 1;
  tilePiece_.assign(std::size_t(columns) * std::size_t(rows), kNoPiece);
  const auto forTiles = [&](const Rect& r, auto&& visit) {
    for (std::int32_t ty = r.y >> kTileShift; ty <= (r.y + r.height - 1) >> kTileShift; ++ty) {
      for (std::int32_t tx = r.x >> kTileShift; tx <= (r.x + r.width - 1) >> kTileShift; ++tx) {
        visit(tilePiece_[std::size_t(ty) * std::size_t(columns) + std::size_t(tx)]);
      }
    }
  };
  std::vector<Rect> pieces;
  for (const Rect& r : all) {
    std::uint32_t joined = kNoPiece;
    forTiles(r, [&](std::uint32_t near) {
      if (joined != kNoPiece || near == kNoPiece) return;
      const Rect& piece = pieces[near];
      if (PresentCost::Of(Bounds(piece, r)) <= PresentCost::Of(piece) + PresentCost::Of(r)) {
        joined = near;
      }
    });
    if (joined == kNoPiece) {
      joined = static_cast<std::uint32_t>(pieces.size());
      pieces.push_back(r);
    } else {
      pieces[joined] = Bounds(pieces[joined], r);
    }
    forTiles(pieces[joined], [&](std::uint32_t& near) { near = joined; });
  }
  return pieces;
}

std::vector<Rect> ChangedRegion::Present() {
  const bool known = !whole_ && shownKnown_ && drawnKnown_;
  std::vector<Rect> pieces;
  if (known) pieces = Merged();
  const std::int64_t cost =
      std::accumulate(pieces.begin(), pieces.end(), std::int64_t{0},
                      [](std::int64_t sum, const Rect& r) { return sum + PresentCost::Of(r); });
  if (!known || cost > PresentCost::Of({0, 0, width_, height_})) {
    pieces.clear();
    if (width_ > 0 && height_ > 0) pieces.push_back({0, 0, width_, height_});
  }
  shown_ = std::move(drawn_);
  drawn_.clear();
  shownKnown_ = std::exchange(drawnKnown_, true);
  whole_ = false;
  return pieces;
}

}  // namespace vorn
