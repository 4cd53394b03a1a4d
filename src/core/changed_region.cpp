#include "core/changed_region.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace vorn {
namespace {

// The representative of a rectangle's group, with the path halved on the way.
std::size_t Root(std::vector<std::size_t>& parent, std::size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

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

std::vector<Rect> ChangedRegion::Merged() const {
  std::vector<Rect> all(shown_);
  all.insert(all.end(), drawn_.begin(), drawn_.end());
  std::vector<std::size_t> parent(all.size());
  std::iota(parent.begin(), parent.end(), std::size_t{0});
  // The first rectangle seen on each tile; a later one on it joins its group.
  const std::int32_t columns = ((width_ - 1) >> kTileShift) + 1;
  const std::int32_t rows = ((height_ - 1) >> kTileShift) + 1;
  std::vector<std::size_t> owner(std::size_t(columns) * std::size_t(rows), all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    const Rect& r = all[i];
    for (std::int32_t ty = r.y >> kTileShift; ty <= (r.y + r.height - 1) >> kTileShift; ++ty) {
      for (std::int32_t tx = r.x >> kTileShift; tx <= (r.x + r.width - 1) >> kTileShift; ++tx) {
        std::size_t& first = owner[std::size_t(ty) * std::size_t(columns) + std::size_t(tx)];
        if (first == all.size())
          first = i;
        else
          parent[Root(parent, i)] = Root(parent, first);
      }
    }
  }
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::size_t root = Root(parent, i);
    if (root != i) all[root] = Bounds(all[root], all[i]);
  }
  std::vector<Rect> merged;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (Root(parent, i) == i) merged.push_back(all[i]);
  }
  return merged;
}

bool ChangedRegion::Costlier(const std::vector<Rect>& pieces) const {
  if (pieces.size() > kMostRectangles) return true;
  std::int64_t area = 0;
  for (const Rect& r : pieces) area += std::int64_t{r.width} * r.height;
  return area > std::int64_t{width_} * height_ / 2;
}

std::vector<Rect> ChangedRegion::Present() {
  const bool known = !whole_ && shownKnown_ && drawnKnown_;
  std::vector<Rect> pieces;
  if (known) pieces = Merged();
  if (!known || Costlier(pieces)) {
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
