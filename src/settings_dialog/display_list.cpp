#include "settings_dialog/display_list.h"

#include "core/particles.h"

namespace vorn {

PaintStep FillStep(const PixelRect& to, PaintColour colour) {
  return {PaintStep::Kind::Fill, to, colour, {}, {}, {}};
}

PaintStep FrameStep(const PixelRect& to, PaintColour colour) {
  return {PaintStep::Kind::Frame, to, colour, {}, {}, {}};
}

PaintStep CopyStep(PaintImage image, ScreenSize size, const PixelRect& to) {
  return {PaintStep::Kind::Copy, to, {}, image, {0, 0, size.width, size.height}, {}};
}

PaintStep TextStep(const PixelRect& to, PaintColour colour, std::string_view text) {
  return {PaintStep::Kind::Text, to, colour, {}, {}, text};
}

void AddFramed(DisplayList& list, PaintImage image, ScreenSize size, const PixelRect& to) {
  const std::int32_t w = size.width, h = size.height;
  if (w < 3 || h < 3) return;
  const std::int32_t fromX[] = {0, 1, w - 1, w}, fromY[] = {0, 1, h - 1, h};
  const std::int32_t toX[] = {to.left, to.left + 1, to.right - 1, to.right};
  const std::int32_t toY[] = {to.top, to.top + 1, to.bottom - 1, to.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const PixelRect piece{toX[col], toY[row], toX[col + 1], toY[row + 1]};
      const PixelRect part{fromX[col], fromY[row], fromX[col + 1], fromY[row + 1]};
      list.push_back({PaintStep::Kind::Copy, piece, {}, image, part, {}});
    }
  }
}

PixelRect SheetCell(std::int32_t x, std::int32_t y, std::int32_t dpi) {
  const CellSize cell = ScaledCell(dpi);
  const std::int32_t left = x / kCellWidth * cell.width, top = y / kCellHeight * cell.height;
  return {left, top, left + cell.width, top + cell.height};
}

}  // namespace vorn
